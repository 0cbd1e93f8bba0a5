// Starting the desktop's sound (recording) settings.
#pragma once
#include <QString>

// The desktop's sound (recording) settings: the first installed of the mixers and
// control centres this desktop offers, started on its own.
struct TSoundSettingsStart {
    QString Program;  // full path of the program found, empty when none is installed
    bool Started = false;
};
TSoundSettingsStart StartSoundSettings();

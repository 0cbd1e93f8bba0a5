// Finding and starting the desktop's sound settings program.
#include "platform/system/sound_settings.h"

#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

TSoundSettingsStart StartSoundSettings()
{
    struct Candidate {
        const char* program;
        QStringList arguments;
    };
    const Candidate candidates[] = {
        {"pavucontrol", {}},
        {"gnome-control-center", {QStringLiteral("sound")}},
    };
    TSoundSettingsStart result;
    for (const Candidate& c : candidates) {
        const QString path = QStandardPaths::findExecutable(QString::fromLatin1(c.program));
        if (path.isEmpty())
            continue;
        result.Program = path;
        // Detached: the settings window lives on after this program ends.
        result.Started = QProcess::startDetached(path, c.arguments);
        return result;
    }
    return result;
}

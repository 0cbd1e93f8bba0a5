#pragma once
#include "platform/ui/dialogs.h"

#include <QString>
#include <cstdint>

// The program-wide language: 0 German, 1 English. Set once from the options at
// start-up; no dialog changes it during a run.
enum : uint8_t { langGerman = 0, langEnglish = 1 };

uint8_t CurrentLanguage();
// Anything but 1 counts as German, so a stray byte can never silence a question.
void SetLanguage(uint8_t language);
bool IsEnglish();

// The message dialog with the text of the current language; returns the modal
// result of the button pressed (mrOk, mrCancel, mrYes, mrNo, ...).
int LangMessageDlg(const QString& german, TMsgDlgType type, TMsgDlgButtons buttons, const QString& english,
                   int helpContext = 0);

// The question a modified window asks before it closes: "save your changes of <title>?"
// with Yes, No and Cancel; returns the button pressed.
int AskToSaveChanges(const QString& title);
void LangShowMessage(const QString& german, const QString& english);
QString LangText(const QString& german, const QString& english);

// The help page of a language, beside the executable.
QString HelpFileName(uint8_t language);

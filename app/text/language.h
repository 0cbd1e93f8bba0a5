// The program-wide language, German or English.
#pragma once
#include "imaging/common/types.h"
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
// The language the image library's own dialogs get: msEnglish or msGerman.
TMsgLanguage LibraryLanguage();

// The language a first start takes from the user's locale: the first of LC_ALL,
// LC_MESSAGES and LANG that is set decides, "de…" German, any other English. -1 when
// none is set or it names the plain C locale, which says nothing about the user.
int LocaleLanguage();

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

#include "app/text/language.h"

namespace {

uint8_t g_language = langGerman;

} // namespace

uint8_t CurrentLanguage() { return g_language; }

void SetLanguage(uint8_t language)
{
    g_language = language == langEnglish ? langEnglish : langGerman;
    if (g_language == langEnglish)
        SetMessageDlgCaptions(QStringLiteral("Warning"), QStringLiteral("Error"), QStringLiteral("Information"),
                              QStringLiteral("Confirm"));
    else
        SetMessageDlgCaptions(QStringLiteral("Warnung"), QStringLiteral("Fehler"), QStringLiteral("Information"),
                              QStringLiteral("Bestätigen"));
}

bool IsEnglish() { return g_language == langEnglish; }

int LangMessageDlg(const QString& german, TMsgDlgType type, TMsgDlgButtons buttons, const QString& english,
                   int helpContext)
{
    return MessageDlg(LangText(german, english), type, buttons, helpContext);
}

void LangShowMessage(const QString& german, const QString& english) { ShowMessage(LangText(german, english)); }

QString LangText(const QString& german, const QString& english) { return IsEnglish() ? english : german; }

QString HelpFileName(uint8_t language)
{
    return language == langEnglish ? QStringLiteral("Kandrivel(e).html") : QStringLiteral("Kandrivel.html");
}

int AskToSaveChanges(const QString& title)
{
    return LangMessageDlg(QStringLiteral("Möchten Sie Ihre Änderungen von ") + title + QStringLiteral(" speichern?"),
                          mtConfirmation, mbYesNoCancel,
                          QStringLiteral("Do you want to save your changes of ") + title + QStringLiteral("?"));
}

// The program-wide language and the Qt texts that follow it.
#include "app/text/language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace {

uint8_t g_language = langGerman;

// Qt's own texts (file, input, font and colour dialogs, message box buttons) are
// English; in German they come from Qt's German catalogue where it is installed.
void followWithQtTexts(uint8_t language)
{
    if (!QCoreApplication::instance())
        return;
    static QTranslator* german = nullptr;
    static bool tried = false;
    if (!tried) {
        tried = true;
        auto* t = new QTranslator(QCoreApplication::instance());
        if (t->load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            german = t;
        else
            delete t;
    }
    static bool installed = false;
    if (!german || installed == (language == langGerman))
        return;
    installed = language == langGerman;
    if (installed)
        QCoreApplication::installTranslator(german);
    else
        QCoreApplication::removeTranslator(german);
}

}  // namespace

uint8_t CurrentLanguage() { return g_language; }

void SetLanguage(uint8_t language)
{
    g_language = language == langEnglish ? langEnglish : langGerman;
    followWithQtTexts(g_language);
    if (g_language == langEnglish)
        SetMessageDlgCaptions(QStringLiteral("Warning"), QStringLiteral("Error"), QStringLiteral("Information"),
                              QStringLiteral("Confirm"));
    else
        SetMessageDlgCaptions(QStringLiteral("Warnung"), QStringLiteral("Fehler"), QStringLiteral("Information"),
                              QStringLiteral("Bestätigen"));
}

bool IsEnglish() { return g_language == langEnglish; }

TMsgLanguage LibraryLanguage() { return IsEnglish() ? msEnglish : msGerman; }

int LocaleLanguage()
{
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QByteArray value = qgetenv(name);
        if (value.isEmpty())
            continue;
        if (value == "C" || value.startsWith("C.") || value == "POSIX")
            return -1;
        return value.startsWith("de") ? langGerman : langEnglish;
    }
    return -1;
}

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

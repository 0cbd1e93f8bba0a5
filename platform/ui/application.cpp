#include "platform/ui/application.h"

#include "platform/core/exceptions.h"
#include "platform/ui/dialogs.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

std::function<void(const std::exception&)> TApplication::OnException;
std::function<bool(const QString&)> TApplication::OpenUrlHook;

namespace {
QString g_title;
QString g_helpFile;
} // namespace

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

TApplication* TApplication::Instance() { return qobject_cast<TApplication*>(QCoreApplication::instance()); }

bool TApplication::notify(QObject* receiver, QEvent* event)
{
    bool result = false;
    Guard([&] { result = QApplication::notify(receiver, event); });
    return result;
}

bool TApplication::Guard(const std::function<void()>& fn)
{
    try {
        fn();
        return true;
    } catch (const std::exception& e) {
        HandleException(e);
    } catch (...) {
        HandleException(Exception(QStringLiteral("Unknown exception")));
    }
    return false;
}

void TApplication::HandleException(const std::exception& e)
{
    // A handler that throws itself must not take the event loop down.
    try {
        if (OnException)
            OnException(e);
        else
            ShowException(e);
    } catch (...) {
    }
}

QString TApplication::ExceptionText(const std::exception& e)
{
    QString msg;
    if (auto* ex = dynamic_cast<const Exception*>(&e))
        msg = ex->Message();
    else
        msg = QString::fromUtf8(e.what());
    if (!msg.isEmpty() && msg.at(msg.size() - 1) > QLatin1Char('.'))
        msg += QLatin1Char('.');
    return msg;
}

void TApplication::ShowException(const std::exception& e)
{
    ShowErrorBox(ExceptionText(e), Title());
}

QString TApplication::Title()
{
    if (!g_title.isEmpty())
        return g_title;
    return QCoreApplication::applicationName();
}

void TApplication::SetTitle(const QString& title)
{
    // Not the display name: the window system would add it to every title, and the
    // frame's title already holds it ("Kandrivel - [name]").
    g_title = title;
}

void TApplication::ProcessMessages() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

QString TApplication::HelpFile() { return g_helpFile; }
void TApplication::SetHelpFile(const QString& path) { g_helpFile = path; }

static bool openUrl(const QUrl& url)
{
    if (TApplication::OpenUrlHook)
        return TApplication::OpenUrlHook(url.toString());
    return QDesktopServices::openUrl(url);
}

bool TApplication::HelpShow()
{
    if (g_helpFile.isEmpty() || !QFileInfo::exists(g_helpFile))
        return false;
    return openUrl(QUrl::fromLocalFile(QFileInfo(g_helpFile).absoluteFilePath()));
}

bool TApplication::HelpContext(int context)
{
    if (g_helpFile.isEmpty() || !QFileInfo::exists(g_helpFile))
        return false;
    QUrl url = QUrl::fromLocalFile(QFileInfo(g_helpFile).absoluteFilePath());
    // Context numbers are anchors "context-<number>" in the help page.
    url.setFragment(QStringLiteral("context-%1").arg(context));
    return openUrl(url);
}

// The application object: exceptions in handlers, help, title and responsiveness.
#include "platform/ui/application.h"

#include "platform/core/exceptions.h"
#include "platform/ui/dialogs.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QThread>
#include <QFileInfo>
#include <QHash>
#include <QIcon>
#include <QProcess>
#include <QProxyStyle>
#include <QStandardPaths>
#include <QStyleFactory>
#include <QUrl>
#include <QWidget>
#include <QWindow>

std::function<void(const std::exception&)> TApplication::OnException;
std::function<bool(const QString&)> TApplication::OpenUrlHook;
std::function<void(const QString&, bool)> TApplication::OnHelpFailure;
std::function<int64_t()> TApplication::ResponsiveClock;
std::function<void(QWindow*)> TApplication::OnCloseHeldForWork;

namespace {
QString g_title;
QString g_helpFile;

class TSharedIconsStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option, const QWidget* widget) const override
    {
        // An option may carry a state or a palette of its own; arrows follow the direction.
        if (option)
            return QProxyStyle::standardIcon(icon, option, widget);
        const bool rightToLeft = widget ? widget->isRightToLeft() : QGuiApplication::isRightToLeft();
        const int key = int(icon) * 2 + int(rightToLeft);
        auto it = icons_.constFind(key);
        if (it == icons_.cend())
            it = icons_.insert(key, QProxyStyle::standardIcon(icon, nullptr, widget));
        return *it;
    }

private:
    mutable QHash<int, QIcon> icons_;
};
}  // namespace

void TApplication::ShareStandardIcons()
{
    if (dynamic_cast<TSharedIconsStyle*>(QApplication::style()))
        return;
    // The style the application would have used (a -style argument included) stays underneath.
    QApplication::setStyle(new TSharedIconsStyle(QStyleFactory::create(QApplication::style()->name())));
}

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
    } catch (...) {}
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

void TApplication::ShowException(const std::exception& e) { ShowErrorBox(ExceptionText(e), Title()); }

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

namespace {

// Holds off the window system's close requests while long work lets events run.
class TCloseHold : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Close && event->spontaneous()) {
            if (auto* window = qobject_cast<QWindow*>(watched); window && TApplication::OnCloseHeldForWork)
                TApplication::OnCloseHeldForWork(window);
            event->ignore();
            return true;
        }
        return false;
    }
};

int g_workEvents = 0;

int64_t responsiveNow()
{
    if (TApplication::ResponsiveClock)
        return TApplication::ResponsiveClock();
    static QElapsedTimer clock = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return clock.elapsed();
}

}  // namespace

bool TApplication::WorkLetsEventsRun() { return g_workEvents > 0; }

TApplication::TWorkEvents::TWorkEvents() { ++g_workEvents; }
TApplication::TWorkEvents::~TWorkEvents() { --g_workEvents; }

void TApplication::KeepResponsive()
{
    static bool running = false;
    static int64_t last = 0;
    static bool ever = false;
    // Only the window's thread runs its events; work elsewhere just goes on.
    if (running || !QCoreApplication::instance() || QThread::currentThread() != qApp->thread())
        return;
    const int64_t now = responsiveNow();
    if (ever && now - last < kResponsiveMs && now >= last)
        return;
    ever = true;
    last = now;
    struct Scope {
        TWorkEvents marked;
        TCloseHold hold;
        Scope()
        {
            running = true;
            qApp->installEventFilter(&hold);
        }
        ~Scope()
        {
            qApp->removeEventFilter(&hold);
            running = false;
        }
    } scope;
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

QString TApplication::HelpFile() { return g_helpFile; }
void TApplication::SetHelpFile(const QString& path) { g_helpFile = path; }

static void helpFailed(const QString& file, bool missing)
{
    if (TApplication::OnHelpFailure)
        TApplication::OnHelpFailure(file, missing);
}

// The desktop's opener is watched: it reports success for a started command but ends with
// an error when no browser or handler exists, which would otherwise pass unnoticed. It is
// not waited for, since with some desktops it runs as long as the browser does.
static bool openUrl(const QUrl& url, const QString& file)
{
    if (TApplication::OpenUrlHook)
        return TApplication::OpenUrlHook(url.toString());
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty() || !QCoreApplication::instance())
        return QDesktopServices::openUrl(url);
    auto* process = new QProcess(QCoreApplication::instance());
    process->setProgram(opener);
    process->setArguments({url.toString()});
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    QObject::connect(process, &QProcess::finished, process, [process, file](int code, QProcess::ExitStatus status) {
        if (status != QProcess::NormalExit || code != 0)
            helpFailed(file, false);
        process->deleteLater();
    });
    QObject::connect(process, &QProcess::errorOccurred, process, [process, file](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            helpFailed(file, false);
            process->deleteLater();
        }
    });
    process->start();
    return true;
}

// Opens the help file, at an anchor when one is given; a failure is reported, never silent.
static bool openHelp(const QString& fragment)
{
    const QString file = g_helpFile;
    if (file.isEmpty() || !QFileInfo(file).isFile()) {
        helpFailed(file, true);
        return false;
    }
    QUrl url = QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath());
    if (!fragment.isEmpty())
        url.setFragment(fragment);
    if (openUrl(url, file))
        return true;
    helpFailed(file, false);
    return false;
}

bool TApplication::HelpShow() { return openHelp(QString()); }

// Context numbers are anchors "context-<number>" in the help page.
bool TApplication::HelpContext(int context) { return openHelp(QStringLiteral("context-%1").arg(context)); }

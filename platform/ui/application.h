// The application object (TApplication).
#pragma once
#include "platform/core/events.h"

#include <QApplication>
#include <QString>
#include <cstdint>
#include <exception>
#include <functional>

class Exception;
class QWindow;

// The application object. Its notify() lets no exception escape an event handler: an
// Exception or std::exception is shown in the default handler's message box (the
// application title as caption, the message ending in a full stop).
class TApplication : public QApplication {
    Q_OBJECT
public:
    TApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;

    // The application object when one exists, else null (tests run on a plain QApplication).
    static TApplication* Instance();

    static QString Title();
    static void SetTitle(const QString& title);

    // Lets pending events run.
    static void ProcessMessages();
    // For long work on the window's thread, called between its steps: lets timers and
    // painting run, at most once every kResponsiveMs. User input waits until the work
    // has ended, and a window the system asks to close meanwhile stays open (the work
    // may be using it), so nothing can start or free anything under the work.
    static void KeepResponsive();
    static constexpr int kResponsiveMs = 10;
    // True while long work lets the events run (KeepResponsive, or a work's own window
    // inside a TWorkEvents): what arrives then comes from outside the work and must
    // neither start another command nor free what the work holds.
    static bool WorkLetsEventsRun();
    // Told of each window KeepResponsive held open, so that whoever runs the work can
    // close it once the work has ended.
    static std::function<void(QWindow* window)> OnCloseHeldForWork;
    class TWorkEvents {
    public:
        TWorkEvents();
        ~TWorkEvents();
        TWorkEvents(const TWorkEvents&) = delete;
        TWorkEvents& operator=(const TWorkEvents&) = delete;
    };
    // Milliseconds of a monotonic clock for KeepResponsive; tests replace it.
    static std::function<int64_t()> ResponsiveClock;

    // Runs fn; an exception it throws goes to HandleException and false is returned.
    static bool Guard(const std::function<void()>& fn);
    // Runs OnException when set, else ShowException.
    static void HandleException(const std::exception& e);
    static void ShowException(const std::exception& e);
    // Handler that replaces the message box (receives the exception).
    static std::function<void(const std::exception&)> OnException;
    // The text the default handler shows: the message with a final '.' added when the
    // last character comes after '.' in the character order.
    static QString ExceptionText(const std::exception& e);

    // Puts the application's style behind one that hands out each standard icon once:
    // Qt's styles read them from their resources on every call, and every image window
    // asks for its system menu's. Does nothing when it is in place already.
    static void ShareStandardIcons();

    // Help: an HTML file opened with the desktop's browser; context numbers become anchors.
    static QString HelpFile();
    static void SetHelpFile(const QString& path);
    static bool HelpContext(int context);
    static bool HelpShow();
    // Test hook: receives the URL instead of opening it; returns what opening returned.
    static std::function<bool(const QString& url)> OpenUrlHook;
    // Told when help could not be shown: the file is missing, or nothing on the desktop
    // opened it. The application says so in its own language. The desktop's answer may
    // come after HelpShow or HelpContext returned true for a started opener.
    static std::function<void(const QString& helpFile, bool fileMissing)> OnHelpFailure;
};

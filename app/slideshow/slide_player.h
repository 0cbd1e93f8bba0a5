// The slide-show player (Tdoslide) and the clock and sound it is given.
#pragma once
#include "app/options/option_blocks.h"
#include "app/slideshow/slide_show.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

class QTimer;
class TImageKit;

// The timed advance's clock: one single-shot countdown. The player uses a QTimer;
// tests put a fake clock in its place.
class TSlideTimer {
public:
    virtual ~TSlideTimer() = default;
    virtual void Start(int milliseconds) = 0;
    virtual void Stop() = 0;
    std::function<void()> OnTimeout;
};

// What a show plays: the background sound (looping) and sound comments.
class TSlideSound {
public:
    virtual ~TSlideSound() = default;
    virtual void Play(const QString& fileName, bool loop) = 0;
    virtual void Stop() = 0;
};

// The slide-show player: a frameless top-level window that shows the images of the
// slide list or of a directory one after the other. Everything is driven by events:
// the countdown, space, a mouse press, Esc and S; nothing waits in a loop.
class Tdoslide : public QWidget {
    Q_OBJECT
public:
    // mainWindow: whose screen the show uses and whose closing ends the show.
    Tdoslide(QWidget* mainWindow, const tslideshowoptions& options);
    ~Tdoslide() override;

    TImageKit* imageKit = nullptr;

    // Replaceable before Start.
    void SetTimer(std::unique_ptr<TSlideTimer> timer);
    void SetSound(std::unique_ptr<TSlideSound> sound);
    TSlideRandom Random = DefaultSlideRandom();
    QString SlideListFile = SlideListFileName();

    // Begins the show (what the form's activation did) and returns at once.
    void Start();
    // Starts, then waits (letting events run) until the window has closed.
    void Execute();
    // Ends the show: the window closes through a 1 ms timer, never inside the event
    // that asked for it.
    void EndShow();

    // Not while the directory is walked: there is nothing to show yet.
    bool Running() const { return started_ && !stop_ && !collecting_; }
    bool Finished() const { return finished_; }
    bool Paused() const { return paused_; }
    bool FullScreenShow() const { return fullScreen_; }
    const QStringList& Files() const { return files_; }
    // Every file shown, in order (a file that failed to load is not among them).
    const QStringList& Played() const { return played_; }
    // The screen rectangle the show lays itself out on.
    QRect ScreenRect() const;

signals:
    void ShowFinished();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void advance();
    bool showEntry(int index);
    void placeWindow(int width, int height);
    void keyPress(int key, bool autoRepeat);
    void timedOut();
    void finish();
    TSlideSound& sound();

    tslideshowoptions options_;
    QPointer<QWidget> main_;
    std::unique_ptr<TSlideTimer> timer_;
    std::unique_ptr<TSlideSound> sound_;
    QTimer* closeTimer_ = nullptr;
    std::optional<TSlideSequence> sequence_;
    QStringList files_;
    QStringList played_;
    std::vector<bool> broken_;
    int brokenCount_ = 0;
    bool started_ = false;
    bool stop_ = false;
    bool collecting_ = false;
    bool paused_ = false;
    bool due_ = false;  // the countdown ran out while paused
    bool finished_ = false;
    bool fullScreen_ = false;
};

// The slide-show command: creates the player over the stored options, runs it modally
// and frees it.
void RunSlideShow(QWidget* mainWindow, const tslideshowoptions& options);

// The slide-show player: showing, advancing, sound and comments, all driven by events.
#include "app/slideshow/slide_player.h"

#include "app/text/language.h"
#include "app/text/object_names.h"
#include "app/text/translation.h"
#include "app/util/text_lines.h"
#include "imaging/kit/image_kit.h"
#include "platform/core/exceptions.h"
#include "platform/graphics/cursors.h"
#include "platform/system/wave_sound.h"
#include "platform/ui/application.h"
#include "platform/ui/dialogs.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QTimer>
#include <algorithm>

namespace {

class QtSlideTimer : public TSlideTimer {
public:
    QtSlideTimer()
    {
        timer_.setSingleShot(true);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (OnTimeout)
                OnTimeout();
        });
    }
    void Start(int milliseconds) override { timer_.start(milliseconds); }
    void Stop() override { timer_.stop(); }

private:
    QTimer timer_;
};

class WaveSlideSound : public TSlideSound {
public:
    void Play(const QString& fileName, bool loop) override
    {
        player_.SetLooping(loop);
        player_.Play(fileName);
    }
    void Stop() override { player_.Stop(); }

private:
    TWavePlayer player_;
};

// QTimer counts milliseconds in an int: about 24 days is the longest countdown.
constexpr int kMaxSeconds = 2'000'000;

}  // namespace

Tdoslide::Tdoslide(QWidget* mainWindow, const tslideshowoptions& options)
    : QWidget(mainWindow, Qt::Window | Qt::FramelessWindowHint), options_(options), main_(mainWindow)
{
    setObjectName(QLatin1String(ObjectName::SlidePlayer::Form));
    setAttribute(Qt::WA_DeleteOnClose, false);
    setWindowModality(Qt::ApplicationModal);
    setFocusPolicy(Qt::StrongFocus);
    imageKit = new TImageKit(this);
    imageKit->setObjectName(QLatin1String(ObjectName::SlidePlayer::ImageKit1));
    imageKit->SetBackground(clBlack);
    imageKit->SetBorderStyle(bsNone);
    imageKit->SetCursor(TImageKitView::crCross2);
    imageKit->SetAutoUndo(false);
    imageKit->SetCenter(true);
    imageKit->setFocusPolicy(Qt::NoFocus);
    imageKit->installEventFilter(this);
    timer_ = std::make_unique<QtSlideTimer>();
    closeTimer_ = new QTimer(this);
    closeTimer_->setSingleShot(true);
    connect(closeTimer_, &QTimer::timeout, this, [this] {
        closeTimer_->stop();
        close();
    });
    if (main_)
        main_->installEventFilter(this);
}

Tdoslide::~Tdoslide()
{
    if (timer_)
        timer_->OnTimeout = nullptr;
    if (main_)
        main_->removeEventFilter(this);
    if (!finished_) {
        finished_ = true;
        emit ShowFinished();
    }
}

void Tdoslide::SetTimer(std::unique_ptr<TSlideTimer> timer) { timer_ = std::move(timer); }
void Tdoslide::SetSound(std::unique_ptr<TSlideSound> sound) { sound_ = std::move(sound); }

TSlideSound& Tdoslide::sound()
{
    // The media back end is opened only when a show has something to play.
    if (!sound_)
        sound_ = std::make_unique<WaveSlideSound>();
    return *sound_;
}

QRect Tdoslide::ScreenRect() const
{
    QScreen* s = main_ ? main_->screen() : nullptr;
    if (!s)
        s = QGuiApplication::primaryScreen();
    return s ? s->geometry() : QRect(0, 0, 800, 600);
}

void Tdoslide::placeWindow(int width, int height)
{
    const QRect screen = ScreenRect();
    setGeometry(screen.left() + (screen.width() - width) / 2, screen.top() + (screen.height() - height) / 2, width,
                height);
    imageKit->setGeometry(0, 0, width, height);
}

void Tdoslide::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    imageKit->setGeometry(rect());
}

void Tdoslide::Start()
{
    if (started_)
        return;
    started_ = true;
    paused_ = false;
    TranslateForm(QLatin1String(ObjectName::SlidePlayer::Form), this);
    timer_->OnTimeout = [this] { timedOut(); };
    if (options_.hidemouse)
        imageKit->SetCursor(crNone);
    const QRect screen = ScreenRect();
    if (options_.window == 2)
        placeWindow(std::max(1, int(options_.fixedwidth)), std::max(1, int(options_.fixedheight)));
    else
        placeWindow(screen.width(), screen.height());
    // Full screen stands in for hiding the task bar: the show covers the panels.
    fullScreen_ = options_.window == 0 && options_.hidetaskbar;
    if (fullScreen_) {
        if (main_ && main_->screen())
            setScreen(main_->screen());
        showFullScreen();
    } else {
        show();
    }
    activateWindow();
    setFocus();
    if (options_.sound == 1 && !options_.soundfile.IsEmpty())
        sound().Play(options_.soundfile.Text(), true);
    stop_ = false;
    if (options_.source == 1) {
        // A large tree takes a while: the events run between its folders, and Escape (or
        // closing the window) ends the walk and the show with it.
        QPointer<Tdoslide> self(this);
        collecting_ = true;
        files_ = CollectSlideDirectory(options_.directory.Text(), options_, [&self](const QString&, int) {
            // Long work's events: what they bring may not start another show meanwhile.
            const TApplication::TWorkEvents marked;
            TApplication::ProcessMessages();
            return self && !self->stop_;
        });
        if (!self)
            return;
        collecting_ = false;
        if (stop_) {
            EndShow();
            return;
        }
        SortSlides(files_, options_.dirsort, Random);
    } else {
        try {
            files_ = ReadSlideList(SlideListFile);
        } catch (const Exception&) {
            files_.clear();  // an unreadable list plays like a missing one
        }
    }
    if (files_.isEmpty()) {
        LangShowMessage(QStringLiteral("Keine Dateien zum Abspielen vorhanden!\n"
                                       "Bitte wählen Sie diese im Menü unter Datei/Diashow/Optionen aus."),
                        QStringLiteral("No files for showing!\nPlease choose them in File/Slideshow/Options menu"));
        EndShow();
        return;
    }
    broken_.assign(size_t(files_.size()), false);
    brokenCount_ = 0;
    sequence_.emplace(int(files_.size()), options_.order, options_.repeat != 0, Random);
    advance();
}

void Tdoslide::Execute()
{
    QPointer<Tdoslide> self(this);
    Start();
    if (!self || finished_)
        return;
    QEventLoop loop;
    connect(this, &Tdoslide::ShowFinished, &loop, &QEventLoop::quit);
    loop.exec();
}

void Tdoslide::advance()
{
    timer_->Stop();
    due_ = false;
    const int count = int(files_.size());
    // A random order may draw broken entries again: bound the draws for one step.
    for (int draws = 0; !stop_ && draws < 16 + 8 * count; ++draws) {
        const int i = sequence_->Next();
        if (i < 0)
            break;
        if (broken_[size_t(i)])
            continue;
        if (showEntry(i)) {
            if (options_.nexttimed)
                timer_->Start(std::clamp(int(options_.seconds), 0, kMaxSeconds) * 1000);
            return;
        }
        broken_[size_t(i)] = true;
        if (++brokenCount_ == count)
            break;
    }
    EndShow();
}

bool Tdoslide::showEntry(int index)
{
    const QString file = files_[index];
    try {
        imageKit->LoadFromFile(file);
    } catch (const std::exception&) {
        return false;  // skipped without a word: one broken file must not stop the show
    }
    if (imageKit->IOParams().FileName.isEmpty())
        return false;  // no reader for the name
    if (options_.sound == 2) {
        const QString wav = SlideSoundComment(file);
        if (QFileInfo::exists(wav)) {
            sound().Stop();
            sound().Play(wav, false);
        }
    }
    TBitmap* bmp = imageKit->Bitmap();
    if (options_.window == 1) {
        placeWindow(std::max(1, bmp->Width()), std::max(1, bmp->Height()));
    } else {
        const TSlideResample r =
            SlideResampleFor(options_.scaling, bmp->Width(), bmp->Height(), imageKit->width(), imageKit->height());
        if (r.resample) {
            imageKit->Resample(r.width, r.height, TResampleFilter(std::clamp(int(options_.filter), 0, 6)));
            const QRect screen = ScreenRect();
            imageKit->SetViewX(SlideViewOrigin(bmp->Width(), imageKit->Zoom(), screen.width()));
            imageKit->SetViewY(SlideViewOrigin(bmp->Height(), imageKit->Zoom(), screen.height()));
        }
    }
    if (options_.showtext) {
        bmp->Canvas()->Font.Size = options_.fontsize;
        const QString txt = SlideTextComment(file);
        if (QFileInfo::exists(txt)) {
            const QString line = ReadFirstLine(txt);
            if (!line.isEmpty()) {
                WriteSlideComment(*bmp, line, options_.fontsize);
                MessageBeep();
            }
        }
    }
    imageKit->Update();
    imageKit->update();
    played_.append(file);
    return true;
}

void Tdoslide::timedOut()
{
    if (stop_)
        return;
    if (paused_)
        due_ = true;
    else
        advance();
}

void Tdoslide::keyPress(int key, bool autoRepeat)
{
    if (key == Qt::Key_Escape) {
        EndShow();
    } else if (key == Qt::Key_S) {
        paused_ = !paused_;
        if (!paused_ && due_ && Running())
            advance();
    } else if (key == Qt::Key_Space && !autoRepeat && options_.nextonkey && Running()) {
        // Holding the bar repeats the key; only the first press counts.
        advance();
    }
}

void Tdoslide::keyPressEvent(QKeyEvent* event) { keyPress(event->key(), event->isAutoRepeat()); }

void Tdoslide::mousePressEvent(QMouseEvent*)
{
    if (Running())
        advance();
}

bool Tdoslide::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == imageKit) {
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
            if (Running())
                advance();
            return true;
        }
        if (event->type() == QEvent::KeyPress) {
            auto* k = static_cast<QKeyEvent*>(event);
            keyPress(k->key(), k->isAutoRepeat());
            return true;
        }
    } else if (watched == main_ && event->type() == QEvent::Close) {
        EndShow();  // the program is going: the show goes with it
    }
    return QWidget::eventFilter(watched, event);
}

void Tdoslide::EndShow()
{
    stop_ = true;
    timer_->Stop();
    due_ = false;
    if (!finished_ && !closeTimer_->isActive())
        closeTimer_->start(1);
}

void Tdoslide::closeEvent(QCloseEvent* event)
{
    stop_ = true;
    timer_->Stop();
    closeTimer_->stop();
    finish();
    QWidget::closeEvent(event);
}

void Tdoslide::finish()
{
    if (finished_)
        return;
    if (options_.sound != 0 && sound_)
        sound_->Stop();
    imageKit->SetCursor(crDefault);
    imageKit->ResizeCanvas(10, 10);
    if (fullScreen_)
        showNormal();
    finished_ = true;
    emit ShowFinished();
}

void RunSlideShow(QWidget* mainWindow, const tslideshowoptions& options)
{
    QPointer<Tdoslide> show = new Tdoslide(mainWindow, options);
    show->Execute();
    delete show.data();
}

// Acquiring one image from a scanner: the whole conversation with the source manager,
// carried on through the source's dialog.
#include "imaging/dialogs/twain_acquire.h"

#include "imaging/dialogs/scan_source_dialog.h"
#include "imaging/common/msg_tables.h"
#include "imaging/dialogs/select_source_dialog.h"
#include "imaging/io/acquire/scan_transfer.h"
#include "platform/core/exceptions.h"
#include "platform/scan/default_source.h"
#include "platform/scan/sane_manager.h"
#include "platform/scan/scan_source.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QPointer>
#include <QWidget>
#include <QWindow>
#include <cmath>
#include <memory>
#include <utility>

namespace {

struct Conversation {
    int state = 1;
    TSaneManager manager;
    SANE_Handle source = nullptr;
    QByteArray sourceName;
    std::unique_ptr<TScanSource> ops;
    std::unique_ptr<TScanSourceDialog> ui;
    QPointer<QWidget> parent;
    // The window the dialog stays above.
    QPointer<QWidget> owner;
    TMsgLanguage language = msEnglish;
    std::unique_ptr<QWidget> proxy;
    TTwainImageInfo info;
    QByteArray image;
    bool arrived = false;
    bool multiple = false;
    std::vector<QByteArray> images;
    std::vector<TTwainImageInfo> infos;
    QEventLoop* loop = nullptr;
    bool busy = false;
    // The read under way (state 7) and whether the user cancelled during it.
    std::unique_ptr<TScanTransfer> transfer;
    // The last finished read: freed later, never inside its own signal.
    std::unique_ptr<TScanTransfer> spent;
    bool cancelWanted = false;
};

Conversation& tw()
{
    static Conversation c;
    return c;
}

QString libraryText() { return TSaneManager::LibraryName(); }

[[noreturn]] void fail(const QString& message) { throw EInvalidGraphic(message); }

// The conversation's failures in the user's language (German, else English).
enum class Failure { Proxy, Load, Open, DefaultSource, Enable, Busy };

[[noreturn]] void fail(Failure what, TMsgLanguage language, bool selecting = false)
{
    const bool german = MsgColumn(language) == msGerman;
    // Selecting a source spells some of them with a blank after the colon.
    const QString gap = selecting ? QStringLiteral(" ") : QString();
    switch (what) {
    case Failure::Proxy:
        fail(german ? QStringLiteral("TWAIN:%1Ersatzfenster kann nicht erstellt werden").arg(gap)
                    : QStringLiteral("TWAIN:%1Unable to create proxy window").arg(gap));
    case Failure::Load:
        fail(german ? QStringLiteral("TWAIN:Quellen-Manager (%1) kann nicht geladen werden").arg(libraryText())
                    : QStringLiteral("TWAIN:Unable to load Source Manager (%1)").arg(libraryText()));
    case Failure::Open:
        fail(german ? QStringLiteral("TWAIN:%1Quellen-Manager (%2) kann nicht geöffnet werden").arg(gap, libraryText())
                    : QStringLiteral("TWAIN:%1Unable to open Source Manager (%2)").arg(gap, libraryText()));
    case Failure::DefaultSource:
        fail(german ? QStringLiteral("TWAIN:Standard-Datenquelle kann nicht geöffnet werden.")
                    : QStringLiteral("TWAIN:Unable to open default Data Source."));
    case Failure::Enable:
        fail(german ? QStringLiteral("TWAIN:Datenquelle kann nicht aktiviert werden.")
                    : QStringLiteral("TWAIN:Failed to enable Data Source."));
    case Failure::Busy:
        fail(german ? QStringLiteral("TWAIN:Es läuft bereits eine Bildübernahme")
                    : QStringLiteral("TWAIN:Acquisition already in progress"));
    }
    fail(QString());
}

// The source's dialog of the running acquisition to the front, above its owner.
void bringDialogForward()
{
    if (TScanSourceDialog* d = TwainSourceDialog(); d && d->isVisible()) {
        d->showNormal();
        d->raise();
        d->activateWindow();
    }
}

// ---- the steps ----------------------------------------------------------------------

bool loadSourceManager()
{
    Conversation& c = tw();
    if (c.state > 1)
        return true;
    if (!c.manager.Load())
        return false;
    c.state = 2;
    return true;
}

bool openSourceManager()
{
    Conversation& c = tw();
    if (!loadSourceManager())
        return false;
    if (c.state >= 3)
        return true;
    if (c.manager.Init() != SANE_STATUS_GOOD)
        return false;
    c.state = 3;
    return true;
}

bool openDefaultSource()
{
    Conversation& c = tw();
    if (c.state != 3)
        return false;
    // No remembered choice: the manager's first device.
    c.sourceName = ScanDefaultSource();
    SANE_Handle h = nullptr;
    if (c.manager.Open(c.sourceName, &h) != SANE_STATUS_GOOD)
        return false;
    c.source = h;
    c.ops = std::make_unique<TScanSource>(c.manager, h);
    c.state = 4;
    return true;
}

void onScanRequested();
void onCancelRequested();

bool enableSource()
{
    Conversation& c = tw();
    if (c.state != 4)
        return false;
    const bool german = MsgColumn(c.language) == msGerman;
    const QString caption = !c.sourceName.isEmpty() ? QString::fromUtf8(c.sourceName)
                          : german                  ? QStringLiteral("Scannen")
                                                    : QStringLiteral("Scan");
    // No Qt parent: disabling the parent window must not disable this dialog too. It
    // is the owner's transient window instead, so that a click there cannot hide it.
    auto ui = std::make_unique<TScanSourceDialog>(*c.ops, caption, nullptr, c.language);
    if (!ui->Valid())
        return false;
    QObject::connect(ui.get(), &TScanSourceDialog::ScanRequested, onScanRequested);
    QObject::connect(ui.get(), &TScanSourceDialog::CancelRequested, onCancelRequested);
    QWidget* above = c.owner ? c.owner->window() : c.parent && c.parent != c.proxy.get() ? c.parent->window() : nullptr;
    if (above && above->windowHandle()) {
        ui->winId();
        if (QWindow* w = ui->windowHandle())
            w->setTransientParent(above->windowHandle());
        // Placed over the owner, as a dialog of it would be.
        ui->adjustSize();
        ui->move(above->geometry().center() - QPoint(ui->width() / 2, ui->height() / 2));
    }
    ui->show();
    c.ui = std::move(ui);
    c.state = 5;
    return true;
}

void disableSource()
{
    Conversation& c = tw();
    if (c.state != 5)
        return;
    // Freed with the source: this may run inside one of the dialog's own signals.
    c.ui->hide();
    c.state = 4;
}

void closeSource()
{
    Conversation& c = tw();
    if (c.state == 5)
        disableSource();
    if (c.state != 4)
        return;
    c.ui.reset();
    c.ops.reset();
    c.manager.Close(c.source);
    c.source = nullptr;
    c.state = 3;
}

void closeSourceManager()
{
    Conversation& c = tw();
    closeSource();
    if (c.state != 3)
        return;
    c.manager.Exit();
    c.state = 2;
}

void unloadSourceManager()
{
    Conversation& c = tw();
    if (c.state != 2)
        return;
    c.manager.Unload();
    c.state = 1;
}

// A feeder holds further pages; a flatbed never does.
bool feederSelected()
{
    Conversation& c = tw();
    QString value;
    if (!c.ops || !c.ops->GetString(c.ops->Find("source"), value))
        return false;
    return value.contains(QLatin1String("feeder"), Qt::CaseInsensitive) ||
           value.contains(QLatin1String("adf"), Qt::CaseInsensitive);
}

// After a page: with more wanted and a feeder selected, further transfers are pending
// (multiple mode starts the next page at once); otherwise the scan is finished off.
void endTransfer(bool more)
{
    Conversation& c = tw();
    if (c.state == 7) {
        if (more && feederSelected()) {
            if (!c.multiple) {
                // Pages may remain; the unwinding resets them.
                c.state = 6;
                return;
            }
            if (c.manager.Start(c.source) == SANE_STATUS_GOOD) {
                c.state = 6;
                return;
            }
        }
        c.manager.Cancel(c.source);
        c.state = 5;
    } else if (c.state == 6) {
        c.manager.Cancel(c.source);
        c.state = 5;
    }
}

double resolutionOf(const char* name, double fallback)
{
    Conversation& c = tw();
    double v = 0;
    return c.ops->GetNumber(c.ops->Find(name), v) && std::isfinite(v) ? v : fallback;
}

void checkLoopEnd();
void onTransferFinished();

// One image from a started scan, read on a helper thread while the loop runs on:
// state 7 until it finishes.
void beginTransfer()
{
    Conversation& c = tw();
    if (c.state != 6)
        return;
    c.state = 7;
    c.transfer = std::make_unique<TScanTransfer>(c.manager, c.source);
    QObject::connect(c.transfer.get(), &TScanTransfer::Progress, [](int percent) {
        if (tw().ui)
            tw().ui->SetProgress(percent);
    });
    QObject::connect(c.transfer.get(), &TScanTransfer::Finished, onTransferFinished);
    if (c.ui)
        c.ui->SetProgress(0);
    c.transfer->Begin();
}

// Puts the finished read aside; its thread has ended or is about to.
void dropTransfer()
{
    Conversation& c = tw();
    if (!c.transfer)
        return;
    c.spent = std::move(c.transfer);
}

// 7 after a transfer done or cancelled, 6 after a failure; then the transfer ends.
// A feeder in multiple mode goes on with its next page.
void onTransferFinished()
{
    Conversation& c = tw();
    if (!c.transfer || c.state != 7)
        return;
    TScanTransfer& t = *c.transfer;
    const TScanTransfer::TResult result = t.Result();
    const QString why = t.Why();
    if (result == TScanTransfer::Done) {
        TTwainImageInfo info = c.info;
        info.ImageWidth = t.Width();
        info.ImageLength = t.Height();
        info.SamplesPerPixel = t.SamplesPerPixel();
        info.BitsPerSample = t.BitsPerSample();
        info.BitsPerPixel = t.BitsPerPixel();
        info.PixelType = t.SamplesPerPixel() == 3 ? 2 : t.BitsPerSample() == 1 ? 0 : 1;
        c.info = info;
        c.image = t.TakeDIB();
        c.arrived = true;
        if (c.multiple) {
            c.images.push_back(c.image);
            c.infos.push_back(c.info);
        }
    } else if (result == TScanTransfer::Failed) {
        c.state = 6;
    }
    dropTransfer();
    const bool done = result == TScanTransfer::Done;
    endTransfer(done && !c.cancelWanted);
    if (done && c.multiple && c.state == 6 && !c.cancelWanted) {
        beginTransfer();
        return;
    }
    if (c.ui) {
        c.ui->SetBusy(false);
        if (!why.isEmpty())
            c.ui->SetStatus(why);
    }
    if (c.cancelWanted) {
        // Cancel during the read: the source closes as on Cancel before a scan, and what
        // arrived in a multiple run is kept; a single scan brings nothing.
        c.cancelWanted = false;
        if (!c.multiple) {
            c.arrived = false;
            c.image.clear();
        }
        disableSource();
    }
    checkLoopEnd();
}

void checkLoopEnd()
{
    Conversation& c = tw();
    if (c.loop && (c.state <= 4 || c.arrived))
        c.loop->quit();
}

void onScanRequested()
{
    Conversation& c = tw();
    if (c.state != 5)
        return;
    c.ui->SetStatus({});
    // Devices answer no option questions while they scan: the resolution is read now.
    const double res = resolutionOf("resolution", 0);
    c.info = TTwainImageInfo{};
    c.info.XResolution = resolutionOf("x-resolution", res);
    c.info.YResolution = resolutionOf("y-resolution", res);
    const SANE_Status st = c.manager.Start(c.source);
    if (st != SANE_STATUS_GOOD) {
        // No transfer this time; the dialog stays for another try or Cancel.
        c.ui->SetStatus(c.manager.StatusText(st));
        c.manager.Cancel(c.source);
        return;
    }
    c.state = 6;
    c.cancelWanted = false;
    c.ui->SetBusy(true);
    beginTransfer();
}

void onCancelRequested()
{
    Conversation& c = tw();
    if (c.transfer) {
        // The device is asked to stop; the source closes once the read has ended.
        c.cancelWanted = true;
        c.transfer->Cancel();
        return;
    }
    disableSource();
    checkLoopEnd();
}

// Ends the loop on the application's quit request and keeps it for afterwards.
class QuitCatcher : public QObject {
public:
    explicit QuitCatcher(QEventLoop& loop) : loop_(loop) { qApp->installEventFilter(this); }
    ~QuitCatcher() override { qApp->removeEventFilter(this); }
    bool Seen = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == qApp && event->type() == QEvent::Quit) {
            Seen = true;
            loop_.quit();
            return true;
        }
        return false;
    }

private:
    QEventLoop& loop_;
};

bool messageLoop()
{
    Conversation& c = tw();
    if (c.state <= 4 || c.arrived)
        return false;
    QEventLoop loop;
    QuitCatcher catcher(loop);
    c.loop = &loop;
    loop.exec();
    c.loop = nullptr;
    return catcher.Seen;
}

void createProxy(QWidget*& parent)
{
    Conversation& c = tw();
    if (parent)
        return;
    c.proxy = std::make_unique<QWidget>(nullptr, Qt::Window);
    c.proxy->setWindowTitle(QStringLiteral("Acquire Proxy"));
    parent = c.proxy.get();
}

// Back to state 1 from wherever the conversation stands.
void unwind()
{
    Conversation& c = tw();
    if (c.transfer) {
        // The loop ended under a running read (quit): stop it and wait for its thread.
        c.transfer->Cancel();
        c.transfer.reset();
    }
    c.spent.reset();
    c.cancelWanted = false;
    if (c.state >= 6) {
        if (c.state == 7)
            c.state = 6;
        endTransfer(false);
    }
    closeSourceManager();
    unloadSourceManager();
    c.proxy.reset();
}

struct BusyGuard {
    explicit BusyGuard(TMsgLanguage language)
    {
        if (tw().busy) {
            bringDialogForward();
            fail(Failure::Busy, language);
        }
        tw().busy = true;
    }
    ~BusyGuard()
    {
        unwind();
        tw().busy = false;
    }
};

}  // namespace

QByteArray TwainAcquire(QWidget* parent, bool multiple, QWidget* owner, TMsgLanguage language)
{
    BusyGuard busy(language);
    Conversation& c = tw();
    c.multiple = multiple;
    c.image.clear();
    c.arrived = false;
    c.images.clear();
    c.infos.clear();
    c.owner = owner;
    c.language = language;
    createProxy(parent);
    if (!parent)
        fail(Failure::Proxy, language);
    c.parent = parent;
    if (!loadSourceManager())
        fail(Failure::Load, language);
    if (!openSourceManager())
        fail(Failure::Open, language);
    if (!openDefaultSource())
        fail(Failure::DefaultSource, language);
    if (!enableSource())
        fail(Failure::Enable, language);

    parent->setEnabled(false);
    const bool quitRequested = messageLoop();
    if (c.parent)
        c.parent->setEnabled(true);
    unwind();
    if (quitRequested)
        QCoreApplication::postEvent(qApp, new QEvent(QEvent::Quit));
    return c.arrived ? std::exchange(c.image, {}) : QByteArray();
}

bool TwainSelectSource(QWidget* parent, TMsgLanguage language)
{
    BusyGuard busy(language);
    Conversation& c = tw();
    createProxy(parent);
    if (!parent)
        fail(Failure::Proxy, language, true);
    if (!loadSourceManager())
        fail(Failure::Load, language);
    if (!openSourceManager())
        fail(Failure::Open, language, true);
    std::vector<TSaneDevice> devices;
    bool chosen = false;
    if (c.manager.GetDevices(devices) == SANE_STATUS_GOOD) {
        TSelectSourceDialog dialog(devices, ScanDefaultSource(), language, parent);
        if (dialog.exec() == QDialog::Accepted) {
            const int i = dialog.ChosenIndex();
            if (i >= 0 && size_t(i) < devices.size()) {
                SetScanDefaultSource(devices[size_t(i)].Name);
                chosen = true;
            }
        }
    }
    return chosen;
}

void TwainFreeDIBs(QByteArray& image)
{
    Conversation& c = tw();
    if (c.images.empty())
        image.clear();
    c.images.clear();
    c.infos.clear();
}

bool TwainBringAcquisitionForward()
{
    bringDialogForward();
    return tw().busy;
}

int TwainGetXResolution() { return int(std::trunc(tw().info.XResolution)); }
int TwainGetYResolution() { return int(std::trunc(tw().info.YResolution)); }
int TwainState() { return tw().state; }
const std::vector<QByteArray>& TwainImages() { return tw().images; }
const std::vector<TTwainImageInfo>& TwainImageInfos() { return tw().infos; }
const TTwainImageInfo& TwainLastImageInfo() { return tw().info; }
TScanSourceDialog* TwainSourceDialog() { return tw().state >= 5 ? tw().ui.get() : nullptr; }

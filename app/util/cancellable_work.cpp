// The progress window of long work that the user can stop.
#include "app/util/cancellable_work.h"

#include "app/text/language.h"
#include "platform/core/exceptions.h"
#include "platform/ui/application.h"

#include <QCoreApplication>
#include <climits>
#include <QKeyEvent>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <QWindow>
#include <utility>
#include <vector>

namespace {

TCancellableWork* g_current = nullptr;

// Escape and closing the window cancel as the button does.
class TWorkDialog : public QProgressDialog {
public:
    using QProgressDialog::QProgressDialog;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->key() == Qt::Key_Escape) {
            cancel();
            return;
        }
        QProgressDialog::keyPressEvent(event);
    }
    void reject() override { cancel(); }
};

}  // namespace

TCancellableWork::TCancellableWork(QWidget* parent, const QString& label, const QString& cancelCaption,
                                   const QObject* target)
    : target_(target), outer_(g_current)
{
    auto* dialog = new TWorkDialog(label, cancelCaption, 0, 100, parent);
    dialog->setObjectName(QStringLiteral("CancellableWork"));
    dialog->setWindowModality(Qt::ApplicationModal);
    // Shown by Step when the work takes long enough, never by itself.
    dialog->setMinimumDuration(INT_MAX);
    dialog->setAutoReset(false);
    dialog->setAutoClose(false);
    dialog->setValue(0);
    dialog_ = dialog;
    if (auto* cancel = dialog->findChild<QPushButton*>())
        cancel->setObjectName(QStringLiteral("CancelButton"));
    QObject::connect(dialog, &QProgressDialog::canceled, dialog, [this] { cancelled_ = true; });
    started_.start();
    lastEvents_.start();
    g_current = this;
}

TCancellableWork::~TCancellableWork()
{
    g_current = outer_;
    delete dialog_.data();
}

TCancellableWork* TCancellableWork::Current() { return g_current; }

QProgressDialog* TCancellableWork::Dialog() const { return dialog_; }

bool TCancellableWork::isOn(const QObject* target) const
{
    if (target_ == target)
        return true;
    // The window its progress shows over, as a widget or as the system's window.
    QWidget* over = dialog_ ? dialog_->parentWidget() : nullptr;
    for (QWidget* w : {static_cast<QWidget*>(dialog_.data()), over ? over->window() : nullptr})
        if (w && (w == target || w->windowHandle() == target))
            return true;
    return false;
}

void TCancellableWork::CancelWorkOn(const QObject* target)
{
    for (TCancellableWork* w = g_current; w; w = w->outer_)
        if (w->isOn(target))
            w->cancelled_ = true;
}

void TCancellableWork::Step(int percent)
{
    if (!cancelled_ && dialog_) {
        // A modal progress window runs the events in setValue too.
        const TApplication::TWorkEvents marked;
        if (!dialog_->isVisible() && started_.elapsed() >= kShowAfterMs)
            dialog_->show();
        if (dialog_->value() != percent)
            dialog_->setValue(percent);
        // The first step always lets the events run; then at most every few milliseconds.
        if (!eventsRan_ || lastEvents_.elapsed() >= kEventsEveryMs) {
            eventsRan_ = true;
            lastEvents_.restart();
            if (dialog_->isVisible())
                QCoreApplication::processEvents(QEventLoop::AllEvents);
            else
                TApplication::KeepResponsive();
        }
    }
    // Escape cancels without the button's signal.
    if (dialog_ && dialog_->wasCanceled())
        cancelled_ = true;
    if (cancelled_)
        throw EAbort(QStringLiteral("Cancelled"));
}

namespace {

int g_workDepth = 0;
int g_closesPass = 0;
// The closes that wait for the outermost work, one per window.
std::vector<std::pair<QPointer<QObject>, std::function<void()>>> g_heldCloses;

// A window the system asked to close while the work let the events run: its work
// stops, and it closes once the work has ended.
void holdSystemClose(QWindow* window)
{
    TCancellableWork::CancelWorkOn(window);
    QPointer<QWindow> w(window);
    HoldCloseWhileWorkRuns(window, [w] {
        if (w)
            w->close();
    });
}

}  // namespace

TWorkScope::TWorkScope()
{
    if (g_workDepth++ == 0)
        TApplication::OnCloseHeldForWork = holdSystemClose;
}

TWorkScope::~TWorkScope()
{
    if (--g_workDepth > 0)
        return;
    TApplication::OnCloseHeldForWork = nullptr;
    // Queued: whoever ran the work is still on the stack and may use its window.
    for (auto& [window, close] : std::exchange(g_heldCloses, {}))
        if (window)
            QTimer::singleShot(0, window, std::move(close));
}

bool TWorkScope::Reentered() { return g_workDepth > 0 && TApplication::WorkLetsEventsRun(); }

bool RefuseWhileWorkRuns()
{
    if (!TWorkScope::Reentered())
        return false;
    LangMessageDlg(QStringLiteral("Eine Arbeit läuft noch. Bitte warten Sie, bis sie beendet ist, oder brechen Sie "
                                  "sie ab."),
                   mtInformation, mbOK,
                   QStringLiteral("Work is still running. Please wait until it has finished, or cancel it."));
    return true;
}

TWorkSurvivesCloses::TWorkSurvivesCloses() { ++g_closesPass; }
TWorkSurvivesCloses::~TWorkSurvivesCloses() { --g_closesPass; }

bool HoldCloseWhileWorkRuns(QObject* window, std::function<void()> close)
{
    if (!TWorkScope::Reentered() || g_closesPass > 0)
        return false;
    for (const auto& held : g_heldCloses)
        if (held.first == window)
            return true;
    g_heldCloses.emplace_back(window, std::move(close));
    return true;
}

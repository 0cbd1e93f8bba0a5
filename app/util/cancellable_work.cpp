// The progress window of long work that the user can stop.
#include "app/util/cancellable_work.h"

#include "platform/core/exceptions.h"
#include "platform/ui/application.h"

#include <QCoreApplication>
#include <climits>
#include <QKeyEvent>
#include <QProgressDialog>
#include <QPushButton>

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

TCancellableWork::TCancellableWork(QWidget* parent, const QString& label, const QString& cancelCaption)
    : outer_(g_current)
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

void TCancellableWork::Step(int percent)
{
    if (!cancelled_ && dialog_) {
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

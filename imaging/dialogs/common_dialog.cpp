// The widget file dialog our panels join, and the dialog-unit scaling.
#include "imaging/dialogs/common_dialog.h"

#include "platform/ui/application.h"

#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLineEdit>
#include <QScreen>
#include <QShortcut>

// ---- the dialog --------------------------------------------------------------------

TIKFileDialog::TIKFileDialog(QWidget* parent) : QFileDialog(parent)
{
    setOption(QFileDialog::DontUseNativeDialog, true);
}

QGridLayout* TIKFileDialog::Grid() const { return qobject_cast<QGridLayout*>(layout()); }

QLineEdit* TIKFileDialog::FileNameEdit() const { return findChild<QLineEdit*>(QStringLiteral("fileNameEdit")); }

QComboBox* TIKFileDialog::FileTypeCombo() const { return findChild<QComboBox*>(QStringLiteral("fileTypeCombo")); }

void TIKFileDialog::done(int result)
{
    if (result == QDialog::Accepted && CanAccept) {
        // A check that failed with an exception has not said yes.
        bool accept = false;
        if (!TApplication::Guard([&] { accept = CanAccept(); }) || !accept)
            return;
    }
    QFileDialog::done(result);
}

// ---- dialog units ------------------------------------------------------------------

TDialogScale::TDialogScale(const QFont& font)
{
    const QFontMetrics fm(font);
    // The average width of the alphabet, rounded as dialog base units are.
    const int alphabet = fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    const int baseX = (alphabet / 26 + 1) / 2;
    sx_ = std::max(baseX, 1) / 6.0;
    sy_ = std::max(fm.height(), 1) / 13.0;
}

int TDialogScale::X(int design) const { return int(design * sx_ + 0.5); }

int TDialogScale::Y(int design) const { return int(design * sy_ + 0.5); }

QRect TDialogScale::Rect(int left, int top, int width, int height) const
{
    return QRect(X(left), Y(top), X(width), Y(height));
}

// ---- the component ----------------------------------------------------------------

TIKCommonDialog::TIKCommonDialog(QObject* owner) : QObject(owner) {}

TIKCommonDialog::~TIKCommonDialog() = default;

void TIKCommonDialog::DialogClosed()
{
    if (OnClose)
        OnClose(this);
}

void TIKCommonDialog::DialogShown()
{
    if (OnShow)
        OnShow(this);
}

void TIKCommonDialog::Guarded(const std::function<void()>& fn) { TApplication::Guard(fn); }

void PlaceDialogWindow(QWidget* window)
{
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QSize size = window->frameGeometry().size();
    window->move(area.left() + (area.width() - size.width()) / 2, area.top() + (area.height() - size.height()) / 3);
}

int TIKCommonDialog::RunModal(TIKFileDialog& dialog)
{
    QPointer<QWidget> active = QApplication::activeWindow();
    handle_ = &dialog;
    QShortcut help(QKeySequence::HelpContents, &dialog);
    QObject::connect(&help, &QShortcut::activated, &dialog, [this] {
        if (HelpContext != 0)
            TApplication::HelpContext(HelpContext);
    });
    Guarded([&] { DialogShown(); });
    dialog.resize(dialog.sizeHint().expandedTo(dialog.size()));
    PlaceDialogWindow(&dialog);
    const int result = dialog.exec() == QDialog::Accepted ? 1 : 0;
    Guarded([&] { DialogClosed(); });
    handle_ = nullptr;
    if (active)
        active->activateWindow();
    return result;
}

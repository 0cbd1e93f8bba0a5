// The base of the open and save dialogs and the file dialog they run.
#pragma once
#include "imaging/common/types.h"
#include "platform/core/events.h"

#include <QFileDialog>
#include <QPointer>
#include <functional>

class QComboBox;
class QGridLayout;
class QLineEdit;
class TIKCommonDialog;

// The file dialog the components run: Qt's own widget dialog, never the desktop's, so
// that our panels can join its layout. A confirmation is put to the component after the
// dialog's own checks (existence, overwrite) and before the dialog closes.
class TIKFileDialog : public QFileDialog {
    Q_OBJECT
public:
    explicit TIKFileDialog(QWidget* parent = nullptr);

    QGridLayout* Grid() const;
    QLineEdit* FileNameEdit() const;
    QComboBox* FileTypeCombo() const;

    void done(int result) override;

    // Asked when the user confirms; false keeps the dialog open.
    std::function<bool()> CanAccept;
};

// Converts the pixel bounds our panels were designed with (for a dialog font whose
// base units are 6 × 13) to the dialog font in use.
class TDialogScale {
public:
    explicit TDialogScale(const QFont& font);
    int X(int design) const;
    int Y(int design) const;
    QRect Rect(int left, int top, int width, int height) const;

private:
    double sx_ = 1.0;
    double sy_ = 1.0;
};

// Base of the library's file dialogs: language of the own captions, help context, the
// show and close events, and the modal run of the dialog.
class TIKCommonDialog : public QObject {
    Q_OBJECT
public:
    explicit TIKCommonDialog(QObject* owner = nullptr);
    ~TIKCommonDialog() override;

    TMsgLanguage MsgLanguage = msEnglish;
    bool Ctl3D = true;  // kept for stored settings; has no effect
    int HelpContext = 0;
    TNotifyEvent OnClose;
    TNotifyEvent OnShow;

    // True when the user confirmed.
    virtual bool Execute() = 0;

    // The dialog while it is on screen, else null.
    TIKFileDialog* Handle() const { return handle_.data(); }

protected:
    virtual void DialogClosed();
    virtual void DialogShown();
    // Runs the dialog modally, centred on the screen with a third of the free height
    // above it; 1 when confirmed, 0 when cancelled. F1 opens the help at HelpContext.
    virtual int RunModal(TIKFileDialog& dialog);
    // Runs fn; an exception goes to the application's handler instead of into Qt.
    static void Guarded(const std::function<void()>& fn);

private:
    QPointer<TIKFileDialog> handle_;
};

// Moves a window to the screen's horizontal centre and a third of its free height.
void PlaceDialogWindow(QWidget* window);

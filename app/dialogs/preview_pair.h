// The base class of the dialogs that show a source and a result preview.
#pragma once
#include <QDialog>
#include <functional>

class QBoxLayout;
class QPushButton;
class QToolButton;
class TBitmap;
class TImageKit;
class TKitSlider;
class TKitSpinEdit;

// What the preview dialogs share: the source preview, the result preview, the
// preview lock, "&Vorschau", "<<" and the buttons. Each dialog names its controls as
// its translation expects them.
struct TPreviewPairNames {
    const char* SourceLabel;
    const char* ResultLabel;
    const char* CopyBack;
    const char* Help;  // nullptr: no help button
};

class TPreviewPairDialog : public QDialog {
    Q_OBJECT
public:
    TPreviewPairDialog(QWidget* parent, const TPreviewPairNames& names, int helpContext);

    // The image the source preview is made from when the dialog activates.
    void SetSource(const TBitmap* source) { source_ = source; }

    TImageKit* imageKit = nullptr;   // result
    TImageKit* sourceKit = nullptr;  // source
    QToolButton* previewLockButton = nullptr;
    QPushButton* okButton = nullptr;       // "&OK"
    QPushButton* cancelButton = nullptr;   // "&Abbrechen"
    QPushButton* previewButton = nullptr;  // "&Vorschau"
    QPushButton* CopyBack = nullptr;       // "<<"
    QPushButton* HelpButton = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    virtual void FormActivate() = 0;
    // The dialog's own controls go here.
    QBoxLayout* Controls() const { return controls_; }
    const TBitmap* Source() const { return source_; }
    // A spin edit and a slider over the same range that follow each other; change
    // runs after either moved.
    void CoupleSpinAndSlider(TKitSpinEdit* edit, TKitSlider* slider, std::function<void()> change);

private:
    QBoxLayout* controls_ = nullptr;
    const TBitmap* source_ = nullptr;
    bool activated_ = false;
    bool coupling_ = false;
};

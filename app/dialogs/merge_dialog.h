// The merge dialog (TfMergeDialog).
#pragma once
#include "platform/graphics/bitmap.h"

#include <QDialog>
#include <QList>

class QLabel;
class QListWidget;
class QPushButton;
class QSlider;
class QToolButton;
class Tchild;
class TImageKit;

// "Verschmelzen": blends another open image into the active one; the share of the
// active image is p = 100 − the track bar's position.
class TfMergeDialog : public QDialog {
    Q_OBJECT
public:
    explicit TfMergeDialog(QWidget* parent = nullptr);

    // The image windows in MDI order and the active one; the list shows their names.
    void SetWindows(const QList<Tchild*>& windows, Tchild* active);
    int Percent() const;
    // The window of the selected name: the last one in MDI order whose caption's file
    // name matches (any letter case), else the first.
    Tchild* SelectedWindow() const;

    void PreviewStep(bool forced);
    void okClicked();

    QListWidget* windowList = nullptr;
    QSlider* mixSlider = nullptr;
    QLabel* mixLabel = nullptr;
    QToolButton* freezePreviewButton = nullptr;
    QPushButton* okButton = nullptr;
    QPushButton* cancelButton = nullptr;
    QPushButton* previewButton = nullptr;
    QPushButton* helpButton = nullptr;
    TImageKit* imageKit = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormActivate();
    QList<Tchild*> windows_;
    Tchild* active_ = nullptr;
    TBitmap original_;
    bool activated_ = false;
};

// The open dialog's full-size preview window (TPreviewForm).
#pragma once
#include <QDialog>
#include <QSize>

class TImageKitView;

// The full-size preview of the open dialog: a sizeable tool window over a zoomable,
// scrollable copy of the previewed image; Esc closes it.
class TPreviewForm : public QDialog {
    Q_OBJECT
public:
    // Copies `source` (a blank view when null); the caption is the file name and ": ".
    TPreviewForm(TImageKitView* source, const QString& fileName, QWidget* parent = nullptr);

    TImageKitView* ImageKitView() const { return view_; }

    // Size for an image: up to 100 pixels the form is 100 wide (high); below the screen's
    // size it fits the image; else it takes the screen's size.
    static QSize SizeFor(QSize image, QSize screen);

private:
    TImageKitView* view_;
};

// A plain control that shows a bitmap (TImage).
#pragma once
#include "platform/core/events.h"
#include "platform/graphics/bitmap.h"

#include <QWidget>

// A plain control that shows a picture's bitmap at its top-left corner. Whoever writes
// into the bitmap calls its Changed() (processing does) and the control repaints.
class TImage : public QWidget {
    Q_OBJECT
public:
    explicit TImage(QWidget* parent = nullptr);
    ~TImage() override;

    // The picture's bitmap; it lives as long as the control.
    TBitmap* PictureBitmap() { return &bitmap_; }
    const TBitmap* PictureBitmap() const { return &bitmap_; }

    // Repaints counted, so that owners and tests can see a change arrive.
    int ChangeCount() const { return changes_; }

    // A left click released over the control.
    TNotifyEvent OnClick;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    TBitmap bitmap_;
    int changes_ = 0;
};

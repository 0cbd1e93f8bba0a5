// The up-down control (TCustomUpDown).
#pragma once
#include "platform/core/events.h"

#include <QWidget>
#include <functional>

enum TUDBtnType { btNext, btPrev };
enum TUDOrientation { udHorizontal, udVertical };

// The platform's up-down control: two arrow buttons; a press on one moves Position by
// one within Min … Max and reports the button through Changed.
class TCustomUpDown : public QWidget {
    Q_OBJECT
public:
    explicit TCustomUpDown(QWidget* parent = nullptr);

    int Min() const { return min_; }
    int Max() const { return max_; }
    void SetRange(int min, int max);
    int Position() const { return position_; }
    void SetPosition(int p);
    TUDOrientation Orientation() const { return orientation_; }
    void SetOrientation(TUDOrientation o);
    // The arrow under a point (next is the upper or right one).
    TUDBtnType ButtonAt(const QPoint& p) const;

protected:
    // The position moved by a press on an arrow.
    virtual void Changed(TUDBtnType button) { (void)button; }
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int min_ = 0;
    int max_ = 100;
    int position_ = 0;
    TUDOrientation orientation_ = udVertical;
    int pressed_ = -1;
};

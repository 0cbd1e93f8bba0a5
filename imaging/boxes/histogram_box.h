// The histogram box (THistogramBox) and its kinds, labels and styles.
#pragma once
#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"
#include "platform/ui/control.h"

#include <QMetaObject>

class TImageKitProc;

enum THistogramKindItem : unsigned { hkRed = 1u << 0, hkGreen = 1u << 1, hkBlue = 1u << 2, hkGray = 1u << 3 };
using THistogramKind = unsigned;
enum THistogramLabel : unsigned { hlVertical = 1u << 0, hlHorizontal = 1u << 1 };
using THistogramLabels = unsigned;
enum THistogramStyle { hsBars, hsLines };

// Draws the histogram of the attached processing component's image. The owner calls
// Update after the image changed; the box never refreshes by itself.
class THistogramBox : public TCustomControl {
    Q_OBJECT
public:
    explicit THistogramBox(QWidget* owner = nullptr);
    ~THistogramBox() override;

    TImageKitProc* AttachedImageKitProc() const { return proc_; }
    void SetAttachedImageKitProc(TImageKitProc* proc);
    TColor Background() const { return background_; }
    void SetBackground(TColor color);
    THistogramKind HistogramKind() const { return kind_; }
    void SetHistogramKind(THistogramKind kind);
    THistogramLabels Labels() const { return labels_; }
    void SetLabels(THistogramLabels labels);
    bool CompBar() const { return compBar_; }
    void SetCompBar(bool on);
    THistogramStyle HistogramStyle() const { return style_; }
    void SetHistogramStyle(THistogramStyle style);
    TFont Font;

    void Update();
    const TBitmap& Picture() const { return bmp_; }
    // Left edge and width of the bar area after the last Update.
    int BarLeft() const { return barLeft_; }
    int BarWidth() const { return barWidth_; }

protected:
    void Paint() override;
    void Resize() override;

private:
    TBitmap bmp_;
    TColor background_ = clWhite;
    TImageKitProc* proc_ = nullptr;
    QMetaObject::Connection procGone_;
    THistogramKind kind_ = hkGray;
    THistogramLabels labels_ = hlVertical | hlHorizontal;
    bool compBar_ = true;
    THistogramStyle style_ = hsBars;
    int barLeft_ = 0, barWidth_ = 0;
};

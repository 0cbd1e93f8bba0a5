// The histogram box: counting the attached image's channels and drawing bars or lines.
#include "imaging/boxes/histogram_box.h"

#include "imaging/proc/image_kit_proc.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

THistogramBox::THistogramBox(QWidget* owner) : TCustomControl(owner)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    SetBounds(0, 0, 256, 105);
    Resize();
}

THistogramBox::~THistogramBox() { disconnect(procGone_); }

void THistogramBox::SetAttachedImageKitProc(TImageKitProc* proc)
{
    disconnect(procGone_);
    proc_ = proc;
    if (proc)
        procGone_ = connect(proc, &QObject::destroyed, this, [this] { proc_ = nullptr; });
}

void THistogramBox::SetBackground(TColor color)
{
    background_ = color;
    Update();
}

namespace {
template <class T> bool Store(T& field, T value)
{
    if (field == value)
        return false;
    field = value;
    return true;
}
}  // namespace

void THistogramBox::SetHistogramKind(THistogramKind value)
{
    if (Store(kind_, value))
        Update();
}
void THistogramBox::SetLabels(THistogramLabels value)
{
    if (Store(labels_, value))
        Update();
}
void THistogramBox::SetCompBar(bool value)
{
    if (Store(compBar_, value))
        Update();
}
void THistogramBox::SetHistogramStyle(THistogramStyle value)
{
    if (Store(style_, value))
        Update();
}

void THistogramBox::Resize()
{
    bmp_.SetSize(std::max(ClientWidth(), 0), std::max(ClientHeight(), 0));
    Update();
}

void THistogramBox::Update()
{
    barLeft_ = barWidth_ = 0;
    if (bmp_.Empty())
        return;
    TCanvas* c = bmp_.Canvas();
    c->Brush.Color = background_;
    c->Brush.Style = bsSolid;
    c->FillRect(TRect(0, 0, bmp_.Width(), bmp_.Height()));
    const auto done = [&] {
        c->Release();
        Invalidate();
    };
    TBitmap* image = proc_ ? proc_->CurrentBitmap() : nullptr;
    if (!image || image->Empty())
        return done();
    TIKHistogram hist;
    proc_->GetHistogram(hist);
    struct Channel {
        unsigned kind;
        int64_t TIKHistogramEntry::*count;
        TColor pen;
    };
    const Channel channels[] = {{hkRed, &TIKHistogramEntry::Red, clRed},
                                {hkGreen, &TIKHistogramEntry::Green, clGreen},
                                {hkBlue, &TIKHistogramEntry::Blue, clBlue},
                                {hkGray, &TIKHistogramEntry::Gray, clBlack}};
    int64_t max = 0;
    for (const auto& e : hist)
        for (const Channel& ch : channels)
            if (kind_ & ch.kind)
                max = std::max(max, e.*ch.count);
    if (max == 0)
        return done();
    int w = bmp_.Width(), h = bmp_.Height(), left = 0;
    c->Font = Font;
    const int fh = std::abs(Font.Height());
    const int bar = Trunc(fh * 1.2);
    if (compBar_)
        h -= bar + 2;
    const QString maxText = QString::number(max);
    c->Brush.Style = bsClear;
    if (labels_ & hlVertical) {
        c->TextOut(0, h / 2, QString::number(max / 2));
        c->TextOut(0, 0, maxText);
        c->Pen.Color = Font.Color;
        const int tw = c->TextWidth(maxText) + 2;
        w -= tw;
        left += tw;
    }
    if (labels_ & hlHorizontal) {
        for (int i = 0; i < 4; ++i)
            c->TextOut(left + Round(i * 64 / 256.0 * w), h - fh - 1, QString::number(i * 64));
        c->TextOut(left + w - c->TextWidth(QStringLiteral("255")), h - fh - 1, QStringLiteral("255"));
        h -= c->TextHeight(maxText) + 2;
        c->Pen.Color = Font.Color;
        c->MoveTo(left - 1, 0);
        c->LineTo(left - 1, h);
        c->LineTo(left + w, h);
    }
    c->Brush.Style = bsSolid;
    // Too small for bars after the labels: the background and labels are all there is.
    if (w <= 0 || h <= 0)
        return done();
    barLeft_ = left;
    barWidth_ = w;
    c->Release();
    if (compBar_) {
        const bool r = kind_ & (hkRed | hkGray), g = kind_ & (hkGreen | hkGray), b = kind_ & (hkBlue | hkGray);
        for (int y = std::max(bmp_.Height() - bar, 0); y < bmp_.Height(); ++y) {
            uint8_t* p = bmp_.ScanLine(y);
            for (int e = 0; e < w && left + e < bmp_.Width(); ++e) {
                const uint8_t v = ClampByte(Round(double(e) / w * 256));
                uint8_t* q = p + 3 * (left + e);
                q[0] = b ? v : 0, q[1] = g ? v : 0, q[2] = r ? v : 0;
            }
        }
    }
    const auto height = [&](int64_t count) { return Round(double(count) / double(max) * h); };
    for (const Channel& ch : channels) {
        if (!(kind_ & ch.kind))
            continue;
        c->Pen.Color = ch.pen;
        if (style_ == hsBars) {
            for (int p = 0; p < w; ++p) {
                const int i = Trunc(double(p) / w * 256);
                c->MoveTo(left + p, h - 1);
                c->LineTo(left + p, h - height(hist[i].*ch.count) - 2);
            }
        } else {
            std::vector<TPoint> line{TPoint(left, h - 1)};
            for (int p = 0; p < w; ++p)
                line.push_back(TPoint(left + p, h - height(hist[Trunc(double(p) / w * 256)].*ch.count) - 1));
            c->Polyline(line);
        }
    }
    done();
}

void THistogramBox::Paint()
{
    if (!bmp_.Empty())
        Painter()->drawImage(0, 0, bmp_.Image());
}

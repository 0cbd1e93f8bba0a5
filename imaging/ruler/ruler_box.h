// The ruler (TRulerBox): ticks, labels in any unit and draggable grips.
#pragma once
#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"
#include "platform/ui/control.h"

#include <functional>
#include <vector>

class TTimer;

enum TGripsDir { gdUp, gdDown };
enum TRulerDir { rdHorizontal, rdVertical };

using TRulerPosChangeEvent = std::function<void(TObject* Sender, int grip)>;
using TRulerClickEvent = std::function<void(TObject* Sender, double position)>;

// A horizontal or vertical ruler with ticks, labels in any unit and draggable grips.
// Positions are ruler units; pixel = (position − ViewPos) × DotPerUnit. Everything is
// drawn into an off-screen bitmap that the paint event copies.
class TRulerBox : public TCustomControl {
    Q_OBJECT
public:
    explicit TRulerBox(QWidget* owner = nullptr);
    ~TRulerBox() override;

    TColor Background() const { return background_; }
    void SetBackground(TColor c);
    int GripBaseDim() const { return gripBaseDim_; }
    void SetGripBaseDim(int d);
    TGripsDir GripsDir() const { return gripsDir_; }
    void SetGripsDir(TGripsDir d);
    bool Ruler() const { return ruler_; }
    void SetRuler(bool on);
    double ViewPos() const { return viewPos_; }
    void SetViewPos(double v);
    double DotPerUnit() const { return dotPerUnit_; }
    void SetDotPerUnit(double v);
    double Frequency() const { return frequency_; }
    void SetFrequency(double v);
    double LabelFreq() const { return labelFreq_; }
    void SetLabelFreq(double v);
    TColor RulerColor() const { return rulerColor_; }
    void SetRulerColor(TColor c);
    TRulerDir RulerDir() const { return rulerDir_; }
    void SetRulerDir(TRulerDir d);
    double ViewMin() const { return viewMin_; }
    void SetViewMin(double v);
    double ViewMax() const { return viewMax_; }
    void SetViewMax(double v);
    bool FitInView() const { return fitInView_; }
    void SetFitInView(bool on);
    bool HexLabels() const { return hexLabels_; }
    void SetHexLabels(bool on);
    const TFont& Font() const { return font_; }
    void SetFont(const TFont& f);

    int GripsCount() const { return int(grips_.size()); }
    void SetGripsCount(int n);
    double GetGripPos(int index) const;
    void SetGripPos(int index, double pos);
    TColor GetGripColor(int index) const;
    void SetGripColor(int index, TColor c);
    int GetGripKind(int index) const;
    void SetGripKind(int index, int kind);

    int GripPixel(int index) const;
    double VisibleUnits() const;
    int BandHeight() const;
    int GripAt(int x, int y) const;
    // The shape's points of a grip (empty for kinds without a shape).
    std::vector<TPoint> GripShape(int index) const;

    // Layout: fit the scale and schedule a repaint. The picture is drawn when it is
    // next painted or read, so a run of setters draws it once.
    void Update();
    // The drawn picture, up to date with every setting.
    const TBitmap& Picture() const;
    // The grip being dragged, −1 when none.
    int GrabbedGrip() const { return grabbed_; }
    // Fires while a grip is dragged beyond an end: one pixel of scroll per tick.
    TTimer* ScrollTimer() const { return scrollTimer_; }

    TRulerPosChangeEvent OnRulerPosChange;
    TRulerPosChangeEvent OnRulerGripClick;
    TRulerPosChangeEvent OnRulerGripDblClick;
    TRulerClickEvent OnRulerClick;

protected:
    void Paint() override;
    void Resize() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

private:
    struct Grip {
        double Pos = 0;
        TColor Color = clBtnFace;
        int Kind = 0;
        double Min = 0, Max = 0;
    };
    bool validScale() const;
    int length() const;  // along the ruler
    int across() const;  // across the ruler
    void clampViewPos();
    void holdInRange(int index);
    void draw() const;
    void drawGrips() const;
    void drawRuler() const;
    void drawTicks(double frequency, int tickLength, bool labels) const;
    void scrollStep();

    // A cache of the settings above, redrawn when stale.
    mutable TBitmap bitmap_;
    mutable bool drawn_ = false;
    TColor background_ = clBtnFace;
    int gripBaseDim_ = 12;
    std::vector<Grip> grips_;
    int grabbed_ = -1;
    int grabPixel_ = 0;
    QPoint down_;
    TGripsDir gripsDir_ = gdUp;
    bool ruler_ = true;
    double viewPos_ = 0;
    double dotPerUnit_ = 1.0;
    double frequency_ = 10.0;
    double labelFreq_ = 40.0;
    TColor rulerColor_ = clBtnFace;
    TRulerDir rulerDir_ = rdHorizontal;
    double viewMin_ = 0, viewMax_ = 0;
    bool fitInView_ = false;
    bool hexLabels_ = false;
    TFont font_;
    TTimer* scrollTimer_ = nullptr;
    int scrollSide_ = 0;  // −1 before the start, +1 beyond the end
    bool inUpdate_ = false;
};

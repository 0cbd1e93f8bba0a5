// The effects dialog at work: which pages show, the active page set up and applied to
// the result view or the source, and clicks on the result.
#include "imaging/dialogs/effects_preview_dialog.h"

#include "imaging/dialogs/effect_pages/effect_page.h"
#include "imaging/kit/image_kit.h"
#include "platform/graphics/canvas.h"

#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QPushButton>

#include <algorithm>
#include <cmath>

TEffectPage* TfPreviews::activePage() const
{
    const int i = PageControl1->currentIndex();
    return i >= 0 && i < int(pages_.size()) ? pages_[size_t(i)].get() : nullptr;
}

int TfPreviews::ActivePage() const
{
    const TEffectPage* page = activePage();
    return page ? page->Bit() : 0;
}

void TfPreviews::ShowPage(int bit)
{
    for (size_t i = 0; i < pages_.size(); ++i)
        if (pages_[i]->Bit() == bit)
            PageControl1->setCurrentIndex(int(i));
}

// Runs once per opening: a message box over the dialog activates it again and must not
// reset the pages.
void TfPreviews::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!activated_)
        FormActivate();
}

void TfPreviews::FormActivate()
{
    useProgress_ = false;
    initialised_ = 0;
    updating_ = true;
    SpeedButton1->setChecked(lockDefault_);
    Button3->setEnabled(!lockDefault_);
    int first = -1;
    for (size_t i = 0; i < pages_.size(); ++i) {
        const bool shown = (effects_ & ppAll) || (effects_ & pages_[i]->Bit());
        PageControl1->setTabVisible(int(i), shown);
        if (shown && first < 0)
            first = int(i);
    }
    PageControl1->setCurrentIndex(std::max(first, 0));
    updating_ = false;
    activated_ = true;
    ImageKit1->Fit();
    // The pending events run before the first preview, in the dialog's own loop: run here,
    // inside showing, a close among them would come before that loop and leave it waiting.
    QTimer::singleShot(0, this, [this] {
        if (isVisible())
            PageControl1Change();
    });
}

void TfPreviews::PageControl1Change()
{
    const int bit = ActivePage();
    if (!(initialised_ & bit))
        InitPage(bit);
    if (activePage() && !activePage()->ZoomsSource()) {
        ImageKit1->SetMouseInteract(ImageKit1->MouseInteract() & ~miZoom);
        ImageKit1->Fit();
    } else {
        ImageKit1->SetMouseInteract(ImageKit1->MouseInteract() | miZoom);
    }
    RefreshResult();
}

void TfPreviews::InitPage(int bit)
{
    updating_ = true;
    for (const auto& page : pages_)
        if (page->Bit() == bit)
            page->Init(*this);
    updating_ = false;
    initialised_ |= bit;
}

// ---- applying ------------------------------------------------------------------------

void TfPreviews::ApplyPage(TImageKit* view, bool toSource)
{
    TEffectPage* page = activePage();
    if (!page)
        return;
    // The result view shows the source's visible part at its zoom: positions and sizes
    // follow the zoom and the view origin there.
    TEffectTarget target;
    if (!toSource)
        target = {ImageKit1->Zoom(), ImageKit1->ViewX(), ImageKit1->ViewY(), {}};
    if (useProgress_)
        target.Progress = {sender_, progress_};
    page->Apply(*this, *view->Bitmap(), target);
}

void TfPreviews::RefreshResult()
{
    if (!activated_)
        return;
    ImageKit2->LockUpdate();
    TBitmap* out = ImageKit2->Bitmap();
    out->SetPixelFormat(pf24bit);
    out->SetSize(std::max(ImageKit1->DrawnWidth(), 0), std::max(ImageKit1->DrawnHeight(), 0));
    if (!out->Empty()) {
        ImageKit1->PaintToCanvas(out->Canvas());
        out->Canvas()->Release();
    }
    snapshot_ = *out;
    ApplyPage(ImageKit2, false);
    ImageKit2->UnlockUpdate();
    ImageKit2->repaint();
    if (TEffectPage* page = activePage())
        page->Refreshed(*this);
}

void TfPreviews::Preview()
{
    if (!activated_)
        return;
    *ImageKit2->Bitmap() = snapshot_;
    ApplyPage(ImageKit2, false);
    ImageKit2->Update();
    ImageKit2->repaint();
}

void TfPreviews::Changed()
{
    if (SpeedButton1->isChecked())
        Preview();
}

void TfPreviews::AccumulateResult()
{
    ApplyPage(ImageKit1, true);
    ImageKit1->Update();
    ImageKit1->repaint();
    RefreshResult();
    initialised_ = 0;
    InitPage(ActivePage());
    RefreshResult();
}

void TfPreviews::accept()
{
    useProgress_ = true;
    ApplyPage(ImageKit1, true);
    ImageKit1->Update();
    QDialog::accept();
}

int TfPreviews::resultToSource(int r, int view, int sourceSize) const
{
    const double z = ImageKit1->Zoom() / 100.0;
    const auto forward = [&](int x) { return Trunc(x * z - view); };
    int x = int(std::floor((r + view) / z));
    while (x < sourceSize - 1 && forward(x) < r)
        ++x;
    while (x > 0 && forward(x - 1) >= r)
        --x;
    return std::clamp(x, 0, std::max(sourceSize - 1, 0));
}

void TfPreviews::ImageKit2MouseUp(int x, int y)
{
    const TBitmap* shown = ImageKit2->Bitmap();
    const int bx = ImageKit2->ScreenToBitmapX(x), by = ImageKit2->ScreenToBitmapY(y);
    if (shown->Empty() || bx < 0 || by < 0 || bx >= shown->Width() || by >= shown->Height())
        return;
    if (TEffectPage* page = activePage())
        page->ResultClicked(*this, bx, by);
}

void TfPreviews::PlaceAtResultPixel(QSpinBox* const* leftTop, int x, int y)
{
    const TBitmap* src = ImageKit1->Bitmap();
    const int sx = resultToSource(x, ImageKit1->ViewX(), src->Width());
    const int sy = resultToSource(y, ImageKit1->ViewY(), src->Height());
    updating_ = true;
    leftTop[0]->setValue(sx);
    leftTop[1]->setValue(sy);
    updating_ = false;
    if (TEffectPage* page = activePage())
        page->Read(*this);
    Changed();
}

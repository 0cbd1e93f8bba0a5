// Cursor numbers resolved to Qt cursors, and the screen that holds them.
#include "platform/graphics/cursors.h"

#include <QGuiApplication>

namespace {

Qt::CursorShape standardShape(TCursor n)
{
    switch (n) {
    case crNone: return Qt::BlankCursor;
    case crCross: return Qt::CrossCursor;
    case crIBeam: return Qt::IBeamCursor;
    case crSize: return Qt::SizeAllCursor;
    case crSizeNESW: return Qt::SizeBDiagCursor;
    case crSizeNS: return Qt::SizeVerCursor;
    case crSizeNWSE: return Qt::SizeFDiagCursor;
    case crSizeWE: return Qt::SizeHorCursor;
    case crUpArrow: return Qt::UpArrowCursor;
    case crHourGlass: return Qt::WaitCursor;
    case crDrag: return Qt::DragMoveCursor;
    case crNoDrop: return Qt::ForbiddenCursor;
    case crHSplit: return Qt::SplitHCursor;
    case crVSplit: return Qt::SplitVCursor;
    case crMultiDrag: return Qt::DragCopyCursor;
    case crSQLWait: return Qt::WaitCursor;
    case crNo: return Qt::ForbiddenCursor;
    case crAppStart: return Qt::BusyCursor;
    case crHelp: return Qt::WhatsThisCursor;
    case crHandPoint: return Qt::PointingHandCursor;
    case crSizeAll: return Qt::SizeAllCursor;
    default: return Qt::ArrowCursor;
    }
}

}  // namespace

QCursor TScreen::Cursor(TCursor n) const
{
    const auto it = custom_.find(n);
    if (it != custom_.end())
        return it->second;
    return QCursor(standardShape(n));
}

void TScreen::SetCursor(TCursor n, const QCursor& cursor) { custom_[n] = cursor; }

void TScreen::SetScreenCursor(TCursor n)
{
    if (n == screenCursor_)
        return;
    // One override at most: ours replaces itself instead of stacking.
    if (screenCursor_ != crDefault)
        QGuiApplication::restoreOverrideCursor();
    screenCursor_ = n;
    if (n != crDefault)
        QGuiApplication::setOverrideCursor(Cursor(n));
}

TScreen& Screen()
{
    static TScreen screen;
    return screen;
}

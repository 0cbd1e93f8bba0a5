// Writing and reading a form's window placement in an ini section.
#include "controls/placement/window_placement.h"

#include "controls/placement/ini_storage.h"
#include "controls/util/str_utils.h"

#include <QGuiApplication>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QScreen>
#include <QTimer>

namespace {

// Show commands as the stored files have them.
constexpr int swHide = 0;
constexpr int swShowNormal = 1;
constexpr int swShowMinimized = 2;
constexpr int swShowMaximized = 3;
// Flag of a minimised MDI child's placement.
constexpr int wpfSetMinPosition = 1;
// A rectangle wider or higher than this comes from a damaged file.
constexpr int kMaxExtent = 1 << 16;

QPointer<QWidget> kitMainForm;

struct TWindowPlacement {
    int Flags = 0;
    int ShowCmd = swShowNormal;
    QPoint MinPosition{-1, -1};
    QPoint MaxPosition{-1, -1};
    // The normal client rectangle.
    QRect Normal;
};

// An MDI child's window is the sub-window around it.
QWidget* windowOf(QWidget* form)
{
    if (auto* sub = qobject_cast<QMdiSubWindow*>(form->parentWidget()))
        return sub;
    return form;
}

bool isMdiChild(QWidget* form) { return windowOf(form) != form; }

bool isMdiFrame(QWidget* form)
{
    const auto* main = qobject_cast<QMainWindow*>(form);
    return main && qobject_cast<QMdiArea*>(main->centralWidget());
}

bool isMainForm(QWidget* form) { return !kitMainForm || kitMainForm == form; }

bool isSizeable(QWidget* w)
{
    return w->minimumSize() != w->maximumSize() && !(w->windowFlags() & Qt::MSWindowsFixedSizeDialogHint);
}

int screenPixelsPerInch()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? qRound(screen->logicalDotsPerInch()) : 96;
}

TWindowPlacement readPlacement(QWidget* form)
{
    QWidget* w = windowOf(form);
    TWindowPlacement p;
    const Qt::WindowStates state = w->windowState();
    if (state & Qt::WindowMinimized)
        p.ShowCmd = swShowMinimized;
    else if (state & (Qt::WindowMaximized | Qt::WindowFullScreen))
        p.ShowCmd = swShowMaximized;
    if ((state & Qt::WindowMinimized) && isMdiChild(form))
        p.Flags |= wpfSetMinPosition;
    // The client rectangle: the frame of a window not yet mapped is unknown on X11, and
    // a frame position set then would land on the client, moving the form a little
    // further on every run.
    p.Normal = w->geometry();
    if (w->isWindow() && (state & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)) &&
        w->normalGeometry().isValid())
        p.Normal = w->normalGeometry();
    return p;
}

QString rectText(int a, int b, int c, int d) { return QStringLiteral("%1,%2,%3,%4").arg(a).arg(b).arg(c).arg(d); }

// Four integers with a positive, bounded width and height; anything else is ignored.
bool parseNormalRect(const QString& text, QRect& out)
{
    int v[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        v[i] = NthWord(i + 1, text, QStringLiteral(",")).trimmed().toInt(&ok);
        if (!ok)
            return false;
    }
    if (!NthWord(5, text, QStringLiteral(",")).isEmpty())
        return false;
    const qint64 width = qint64(v[2]) - v[0];
    const qint64 height = qint64(v[3]) - v[1];
    if (width <= 0 || height <= 0 || width > kMaxExtent || height > kMaxExtent)
        return false;
    if (qAbs(qint64(v[0])) > kMaxExtent * 4 || qAbs(qint64(v[1])) > kMaxExtent * 4)
        return false;
    out = QRect(v[0], v[1], int(width), int(height));
    return true;
}

// Zero until the window system has framed the window.
QMargins frameMargins(const QWidget* w)
{
    const QRect f = w->frameGeometry(), g = w->geometry();
    return QMargins(g.left() - f.left(), g.top() - f.top(), f.right() - g.right(), f.bottom() - g.bottom());
}

// A rectangle that no screen holds any more (saved on a larger screen, or on one that
// is gone) is brought onto the available area of the screen it overlaps most.
QRect fitOntoScreen(const QRect& client, const QMargins& frame)
{
    const QRect r = client.marginsAdded(frame);
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (screens.isEmpty())
        return client;
    const QScreen* best = nullptr;
    qint64 bestArea = 0;
    for (const QScreen* s : screens) {
        const QRect avail = s->availableGeometry();
        if (avail.contains(r))
            return client;
        const QRect common = avail.intersected(r);
        const qint64 area = qint64(common.width()) * common.height();
        if (area > bestArea) {
            bestArea = area;
            best = s;
        }
    }
    if (!best)
        best = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen() : screens.first();
    const QRect a = best->availableGeometry();
    const int w = std::min(r.width(), a.width());
    const int h = std::min(r.height(), a.height());
    const int x = std::clamp(r.x(), a.left(), a.left() + a.width() - w);
    const int y = std::clamp(r.y(), a.top(), a.top() + a.height() - h);
    return QRect(x, y, w, h).marginsRemoved(frame);
}

}  // namespace

QWidget* KitMainForm() { return kitMainForm; }
void SetKitMainForm(QWidget* form) { kitMainForm = form; }

// ---- form-level routines -------------------------------------------------------------

void WriteFormPlacement(QWidget* form, TCustomIniFile* ini, const QString& section)
{
    if (!form)
        return;
    const TWindowPlacement p = readPlacement(form);
    IniWriteInteger(ini, section, QStringLiteral("Flags"), p.Flags);
    IniWriteInteger(ini, section, QStringLiteral("ShowCmd"), p.ShowCmd);
    IniWriteInteger(ini, section, QStringLiteral("PixelsPerInch"), screenPixelsPerInch());
    IniWriteScreenString(ini, section, QStringLiteral("MinMaxPos"),
                         rectText(p.MinPosition.x(), p.MinPosition.y(), p.MaxPosition.x(), p.MaxPosition.y()));
    IniWriteScreenString(ini, section, QStringLiteral("NormPos"),
                         rectText(p.Normal.left(), p.Normal.top(), p.Normal.left() + p.Normal.width(),
                                  p.Normal.top() + p.Normal.height()));
}

void ReadFormPlacement(QWidget* form, TCustomIniFile* ini, const QString& section, bool loadState, bool loadPosition)
{
    if (!form || !(loadState || loadPosition))
        return;
    QWidget* w = windowOf(form);
    const TWindowPlacement p = readPlacement(form);

    // Everything is read before anything changes.
    bool applyRect = false;
    QRect rect = p.Normal;
    if (loadPosition) {
        // "Flags" and the minimised and maximised positions have nothing to act on here:
        // the window system places minimised and maximised windows itself.
        const QString minMax = IniReadScreenString(ini, section, QStringLiteral("MinMaxPos"), QString());
        const QString normal = IniReadScreenString(ini, section, QStringLiteral("NormPos"), QString());
        const int ppi = IniReadInteger(ini, section, QStringLiteral("PixelsPerInch"), screenPixelsPerInch());
        if (ppi == screenPixelsPerInch() && (!minMax.isEmpty() || !normal.isEmpty())) {
            QRect stored;
            if (!normal.isEmpty() && parseNormalRect(normal, stored))
                rect = stored;
            if (!isSizeable(w))
                rect.setSize(p.Normal.size());
            applyRect = rect.width() > 0 && rect.height() > 0;
            if (applyRect && w->isWindow())
                rect = fitOntoScreen(rect, frameMargins(w));
        }
    }
    Qt::WindowStates state = Qt::WindowNoState;
    // Only a stored state decides: a first show, or a section without one, leaves the
    // form normal. (A form the program never moved is not one the platform placed.)
    // A stored value that names no state keeps the main MDI frame maximised.
    const QString showCmd = QStringLiteral("ShowCmd");
    if (loadState && ini && ini->ValueExists(section, showCmd)) {
        if (isMainForm(form) && isMdiFrame(form))
            state = Qt::WindowMaximized;
        switch (IniReadInteger(ini, section, showCmd, swHide)) {
        case 1:
        case 5:
        case 9: state = Qt::WindowNoState; break;
        case 2:
        case 6:
        case 7: state = Qt::WindowMinimized; break;
        case 3: state = Qt::WindowMaximized; break;
        default: break;
        }
    }

    const Qt::WindowStates kept = w->windowState() &
                                  ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen);
    if (applyRect) {
        // The rectangle is the normal one: set it while the window is normal.
        if (w->windowState() != kept)
            w->setWindowState(kept);
        w->setGeometry(rect);
    }
    if (loadState) {
        if (state == Qt::WindowMinimized && isMainForm(form) && !isMdiChild(form)) {
            w->setWindowState(kept);
            QTimer::singleShot(0, w, [w] { w->showMinimized(); });
            return;
        }
        w->setWindowState(kept | state);
    }
    w->update();
}

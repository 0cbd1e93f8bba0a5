// Small drawing and rectangle helpers shared by the kit controls.
#include "controls/draw/draw_utils.h"

#include "platform/graphics/canvas.h"
#include "platform/ui/dialogs.h"

#include <QApplication>
#include <QScreen>
#include <QThread>
#include <QWidget>

int LargerInt(int a, int b) { return a > b ? a : b; }
int SmallerInt(int a, int b) { return a < b ? a : b; }

void DefaultBeep() { MessageBeep(); }

int WidthOfRect(const TRect& r) { return r.Right - r.Left; }
int HeightOfRect(const TRect& r) { return r.Bottom - r.Top; }

bool PointWithinRect(const TPoint& p, const TRect& r)
{
    return p.X >= r.Left && p.X <= r.Right && p.Y >= r.Top && p.Y <= r.Bottom;
}

int32_t PaletteRelativeColor(TColor c) { return (ColorToRGB(c) & 0xFFFFFF) | 0x02000000; }

static QSize screenSize()
{
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry().size() : QSize(1024, 768);
}

void MoveRectOntoScreen(TRect& r, const QSize& screen)
{
    auto shift = [](int& lo, int& hi, int limit) {
        if (hi > limit) {
            const int d = hi - limit;
            lo -= d;
            hi -= d;
        }
        if (lo < 0) {
            hi -= lo;
            lo = 0;
        }
    };
    shift(r.Left, r.Right, screen.width());
    shift(r.Top, r.Bottom, screen.height());
}

void MoveRectOntoScreen(TRect& r) { MoveRectOntoScreen(r, screenSize()); }

void CenterWindowOnScreen(QWidget* window)
{
    if (!window)
        return;
    const QSize s = screenSize();
    const int w = window->frameGeometry().width(), h = window->frameGeometry().height();
    TRect r = Bounds((s.width() - w) / 2, (s.height() - h) / 2, w, h);
    MoveRectOntoScreen(r, s);
    window->move(r.Left, r.Top);
}

bool ThreadOwnsActiveWindow()
{
    return qApp && QThread::currentThread() == qApp->thread() && QApplication::activeWindow() != nullptr;
}

QString FitTextWithEllipsis(const QString& text, TCanvas& canvas, int width)
{
    if (canvas.TextWidth(text) <= width)
        return text;
    const QString dots = QStringLiteral("...");
    for (qsizetype i = 1;; ++i) {
        const qsizetype keep = std::max<qsizetype>(text.size() - i - 1, 0);
        const QString s = text.left(keep) + dots;
        if (keep == 0 || canvas.TextWidth(s) <= width)
            return s;
    }
}

static bool isBlank(QChar c) { return c.unicode() >= 1 && c.unicode() <= 32; }

QString NextCommandLineItem(const QString& line, int& pos)
{
    const int n = int(line.size());
    pos = std::max(pos, 0);
    // A NUL ends the line, as it did in the old buffers.
    auto at = [&](int i) { return i < n ? line[i] : QChar(); };
    for (;;) {
        if (pos < n && isBlank(at(pos))) {
            ++pos;
        } else if (at(pos) == QLatin1Char('"') && at(pos + 1) == QLatin1Char('"') &&
                   (pos + 2 >= n || at(pos + 2).isNull() || isBlank(at(pos + 2)))) {
            pos += 2;  // an empty quoted item standing alone
        } else {
            break;
        }
    }
    QString item;
    while (pos < n && at(pos).unicode() > 32) {
        if (at(pos) == QLatin1Char('"')) {
            ++pos;
            while (pos < n && !at(pos).isNull() && at(pos) != QLatin1Char('"'))
                item += line[pos++];
            if (pos < n && at(pos) == QLatin1Char('"'))
                ++pos;
        } else {
            item += line[pos++];
        }
    }
    return item;
}

int CommandLineItemCount(const QString& line)
{
    int pos = 0, count = 0;
    while (!NextCommandLineItem(line, pos).isEmpty())
        ++count;
    return count;
}

QString CommandLineItem(const QString& line, int index)
{
    int pos = 0;
    QString item;
    for (int i = 0; i <= index; ++i) {
        item = NextCommandLineItem(line, pos);
        if (item.isEmpty())
            return QString();
    }
    return item;
}

void SplitFirstItem(const QString& line, QString& first, QString& rest)
{
    int pos = 0;
    first = NextCommandLineItem(line, pos);
    QStringList others;
    for (QString item = NextCommandLineItem(line, pos); !item.isEmpty(); item = NextCommandLineItem(line, pos))
        others << (item.contains(QLatin1Char(' ')) ? QLatin1Char('"') + item + QLatin1Char('"') : item);
    rest = others.join(QLatin1Char(' '));
}

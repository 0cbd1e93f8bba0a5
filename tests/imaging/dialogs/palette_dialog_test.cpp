// The palette picker: layout, highlight and picks.
#include "imaging/dialogs/palette_dialog.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

void sendMouse(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButton button = Qt::NoButton)
{
    QMouseEvent ev(type, QPointF(pos), QPointF(w->mapToGlobal(pos)), button,
                   type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button), Qt::NoModifier);
    QApplication::sendEvent(w, &ev);
}

std::vector<TColor> rampPalette(int n)
{
    std::vector<TColor> p;
    for (int i = 0; i < n; ++i)
        p.push_back(RGB(i, 255 - i, (i * 7) & 255));
    return p;
}

struct Entry {
    uint8_t b, g, r;
};

}  // namespace

TEST(PaletteDialog, LayoutOfTheDialog)
{
    TImageKitPaletteDialog d;
    EXPECT_EQ(d.size(), QSize(539, 199));
    EXPECT_TRUE(d.windowTitle().isEmpty());
    EXPECT_EQ(d.CancelButton()->pos(), QPoint(8, 144));
    EXPECT_EQ(d.CancelButton()->text(), QStringLiteral("&Cancel"));
    EXPECT_EQ(d.HighlightedIndex(), -1);
}

TEST(PaletteDialog, NeverShowsMoreEntriesThanTheMapHolds)
{
    TImageKitPaletteDialog d;
    // 2^8 promised, 4 there: the cells past the map do not exist.
    d.SetPalette(rampPalette(4), 256);
    EXPECT_EQ(d.EntryCount(), 4);
    EXPECT_EQ(d.IndexAt(3 * 16 + 5, 5), 3);
    EXPECT_EQ(d.IndexAt(4 * 16 + 5, 5), -1);
    sendMouse(&d, QEvent::MouseMove, QPoint(100, 100));
    EXPECT_EQ(d.HighlightedIndex(), -1);
    d.SetPalette(rampPalette(4), -3);
    EXPECT_EQ(d.EntryCount(), 0);

    // The same through a record's colour map.
    std::vector<Entry> map{{1, 2, 3}, {4, 5, 6}};
    d.SetPaletteFrom(map, 16);
    EXPECT_EQ(d.EntryCount(), 2);
}

TEST(PaletteDialog, CellUnderTheMouse)
{
    TImageKitPaletteDialog d;
    d.SetPalette(rampPalette(256), 256);
    EXPECT_EQ(d.IndexAt(1, 1), 0);
    EXPECT_EQ(d.IndexAt(0, 0), 0);  // the margin rounds toward zero
    EXPECT_EQ(d.IndexAt(16, 16), 0);
    EXPECT_EQ(d.IndexAt(17, 1), 1);
    EXPECT_EQ(d.IndexAt(1, 17), 32);
    EXPECT_EQ(d.IndexAt(31 * 16 + 8, 7 * 16 + 8), 255);
    EXPECT_EQ(d.IndexAt(1, 8 * 16 + 1), -1);
    // Right of the grid is no cell (not the next row's first one).
    EXPECT_EQ(d.IndexAt(32 * 16 + 5, 5), -1);
}

TEST(PaletteDialog, MovingHighlightsAndPaintingOutlinesTheCell)
{
    TImageKitPaletteDialog d;
    d.SetPalette({clRed, clLime, clBlue}, 3);
    sendMouse(&d, QEvent::MouseMove, QPoint(20, 5));
    EXPECT_EQ(d.HighlightedIndex(), 1);
    // Leaving the cells keeps the last highlight.
    sendMouse(&d, QEvent::MouseMove, QPoint(300, 100));
    EXPECT_EQ(d.HighlightedIndex(), 1);

    const QImage img = d.grab().toImage();
    // Cell 1 covers x 17 … 31, y 1 … 15: black frame, green inside.
    EXPECT_EQ(QColor(img.pixel(17, 1)), QColor(Qt::black));
    EXPECT_EQ(QColor(img.pixel(31, 15)), QColor(Qt::black));
    EXPECT_EQ(QColor(img.pixel(24, 8)), QColor(0, 255, 0));
    // Cell 0: white frame, red inside; the grid line between cells is background.
    EXPECT_EQ(QColor(img.pixel(1, 1)), QColor(Qt::white));
    EXPECT_EQ(QColor(img.pixel(15, 15)), QColor(Qt::white));
    EXPECT_EQ(QColor(img.pixel(8, 8)), QColor(255, 0, 0));
    EXPECT_EQ(QColor(img.pixel(38, 8)), QColor(0, 0, 255));
    EXPECT_NE(QColor(img.pixel(16, 8)), QColor(Qt::white));
}

TEST(PaletteDialog, AClickBeforeAnyHighlightDoesNothing)
{
    TImageKitPaletteDialog d;
    d.SetPalette({clRed, clLime}, 2);
    d.setResult(0);
    sendMouse(&d, QEvent::MouseButtonPress, QPoint(5, 5), Qt::LeftButton);
    sendMouse(&d, QEvent::MouseButtonRelease, QPoint(5, 5), Qt::LeftButton);
    EXPECT_EQ(d.result(), 0);
    EXPECT_EQ(d.ChosenColor(), clBlack);
}

TEST(PaletteDialog, ExecuteReturnsTheClickedColour)
{
    TImageKitPaletteDialog d;
    d.SetPalette(rampPalette(40), 40);
    QTimer::singleShot(0, &d, [&d] {
        sendMouse(&d, QEvent::MouseMove, QPoint(1 * 16 + 5, 1 * 16 + 5));  // entry 33
        sendMouse(&d, QEvent::MouseButtonPress, QPoint(200, 150), Qt::LeftButton);
        sendMouse(&d, QEvent::MouseButtonRelease, QPoint(200, 150), Qt::LeftButton);
    });
    EXPECT_TRUE(d.Execute());
    EXPECT_EQ(d.HighlightedIndex(), 33);
    EXPECT_EQ(d.ChosenColor(), RGB(33, 222, 231));

    QTimer::singleShot(0, &d, [&d] { d.CancelButton()->click(); });
    EXPECT_FALSE(d.Execute());
}

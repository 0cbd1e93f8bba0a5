// Colour values and system colours.
#include "platform/core/color.h"

#include <QApplication>
#include <QPalette>
#include <gtest/gtest.h>

TEST(Color, NamedColoursAreStoredBlueGreenRed)
{
    EXPECT_EQ(clRed, 0x0000FF);
    EXPECT_EQ(clBlue, 0xFF0000);
    EXPECT_EQ(GetRValue(clOlive), 0x80);
    EXPECT_EQ(GetGValue(clOlive), 0x80);
    EXPECT_EQ(GetBValue(clOlive), 0x00);
    EXPECT_EQ(RGB(1, 2, 3), 0x030201);
    EXPECT_EQ(ColorToRGB(clTeal), 0x808000);
    const QColor q = ToQColor(clPurple);
    EXPECT_EQ(q, QColor(0x80, 0, 0x80));
    EXPECT_EQ(FromQColor(QColor(10, 20, 30)), RGB(10, 20, 30));
}

TEST(Color, SystemColoursFollowTheApplicationPalette)
{
    const QPalette saved = QApplication::palette();
    QPalette p = saved;
    p.setColor(QPalette::Button, QColor(1, 2, 3));
    p.setColor(QPalette::Base, QColor(4, 5, 6));
    p.setColor(QPalette::Highlight, QColor(7, 8, 9));
    p.setColor(QPalette::Text, QColor(10, 11, 12));
    QApplication::setPalette(p);
    EXPECT_TRUE(IsSystemColor(clBtnFace));
    EXPECT_FALSE(IsSystemColor(clWhite));
    EXPECT_EQ(ColorToRGB(clBtnFace), RGB(1, 2, 3));
    EXPECT_EQ(ColorToRGB(clWindow), RGB(4, 5, 6));
    EXPECT_EQ(ColorToRGB(clHighlight), RGB(7, 8, 9));
    EXPECT_EQ(ColorToRGB(clWindowText), RGB(10, 11, 12));
    EXPECT_EQ(ToQColor(clWindow), QColor(4, 5, 6));
    QApplication::setPalette(saved);
    // An index the palette does not know reads black rather than garbage.
    EXPECT_EQ(ColorToRGB(SystemColor(200)), clBlack);
}

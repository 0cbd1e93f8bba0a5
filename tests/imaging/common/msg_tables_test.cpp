// The library's caption tables in every language.
#include "imaging/common/msg_tables.h"

#include <gtest/gtest.h>

#include <set>

TEST(MsgTables, EveryRowHasATextInEveryLanguage)
{
    for (int l = msEnglish; l <= msFrench; ++l) {
        for (int r = 0; r < PreviewMsg::Count; ++r)
            EXPECT_FALSE(PreviewText(r, l).isEmpty()) << "preview row " << r << " language " << l;
        for (int r = 0; r < LabelMsg::Count; ++r)
            EXPECT_FALSE(LabelText(r, l).isEmpty()) << "label row " << r << " language " << l;
    }
    EXPECT_EQ(int(PreviewMsg::Count), 9);
    EXPECT_EQ(int(LabelMsg::Count), 64);
}

TEST(MsgTables, LookupsReadTheCellOfRowAndLanguage)
{
    EXPECT_EQ(PreviewText(PreviewMsg::Preview, msFrench), QStringLiteral("Prévisualisation"));
    EXPECT_EQ(PreviewText(PreviewMsg::OK, msSpanish), QStringLiteral("Aceptar"));
    EXPECT_EQ(PreviewText(PreviewMsg::LockPreview, msGerman), QStringLiteral("Vorschau einfrieren"));
    EXPECT_EQ(PreviewText(PreviewMsg::Brightness, msItalian), QStringLiteral("Luminosità"));
    EXPECT_EQ(LabelText(LabelMsg::Hue, msEnglish), QStringLiteral("Hue"));
    EXPECT_EQ(LabelText(LabelMsg::Green, msGerman), QStringLiteral("Grün"));
    EXPECT_EQ(LabelText(LabelMsg::Threshold, msGerman), QStringLiteral("Durchsatz"));
    EXPECT_EQ(LabelText(LabelMsg::Color, msGerman), QStringLiteral("Lichtfarbe"));
    EXPECT_EQ(LabelText(LabelMsg::HorizPositionInch, msEnglish), QStringLiteral("Horiz. Position (inch)"));
    EXPECT_EQ(LabelText(LabelMsg::HorizPositionInch, msGerman), QStringLiteral("Horiz.Position (inch)"));
    EXPECT_EQ(LabelText(LabelMsg::Reflective, msEnglish), QStringLiteral("Reflective"));
    EXPECT_EQ(LabelText(LabelMsg::Reflective, msGerman), QStringLiteral("Reflektierend"));
    EXPECT_EQ(LabelText(LabelMsg::Of, msGerman), QStringLiteral("von"));
    EXPECT_EQ(LabelText(LabelMsg::Save, msFrench), QStringLiteral("Enregistrer"));
    EXPECT_EQ(LabelText(LabelMsg::Quality, msItalian), QStringLiteral("Qualità"));
    EXPECT_EQ(LabelText(LabelMsg::Colors, msSpanish), QStringLiteral("Colores"));
}

TEST(MsgTables, TheNewColumnsAreTranslationsNotCopiesOfEnglish)
{
    // Words spelt alike in two languages exist ("Transparent", "Phase"), but a column
    // that is mostly English would be a copy.
    for (int l : {int(msItalian), int(msSpanish), int(msFrench)}) {
        int same = 0;
        std::set<QString> distinct;
        for (int r = 0; r < LabelMsg::Count; ++r) {
            same += LabelText(r, l) == LabelText(r, msEnglish);
            distinct.insert(LabelText(r, l));
        }
        EXPECT_LT(same, 8) << "language " << l;
        EXPECT_GT(int(distinct.size()), 55) << "language " << l;
    }
}

TEST(MsgTables, LanguagesOutsideTheEnumerationReadEnglish)
{
    // The top bit is cleared first: 0x82 reads German.
    EXPECT_EQ(LabelText(LabelMsg::Red, 0x80 | msGerman), QStringLiteral("Rot"));
    EXPECT_EQ(MsgColumn(0x80 | msFrench), int(msFrench));
    for (int l : {5, 6, 0x7F, 0xFF, -1, 1000, -1000}) {
        EXPECT_EQ(LabelText(LabelMsg::Red, l), QStringLiteral("Red")) << l;
        EXPECT_EQ(PreviewText(PreviewMsg::Cancel, l), QStringLiteral("Cancel")) << l;
    }
}

TEST(MsgTables, RowsOutsideTheTablesGiveNoText)
{
    EXPECT_TRUE(PreviewText(-1, msEnglish).isEmpty());
    EXPECT_TRUE(PreviewText(9, msEnglish).isEmpty());
    EXPECT_TRUE(LabelText(64, msGerman).isEmpty());
    EXPECT_TRUE(LabelText(-64, msGerman).isEmpty());
}

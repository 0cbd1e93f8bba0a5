// The command table against the record check: every code has its entry, and each
// declared range lets its bounds through and refuses one past them.
#include "app/commands/command_table.h"
#include "app/text/language.h"
#include "app/text/translation.h"

#include <gtest/gtest.h>
#include <cstring>

namespace {

// A record of the entry's code whose arguments all pass its checks.
tautomatitem passing(const TCommandEntry& e)
{
    tautomatitem a;
    a.SetCode(e.code);
    for (const TArgCheck& c : e.checks) {
        if (c.rule == TArgRule::ImageSize) {
            a.SetArg(1, 1);
            a.SetArg(2, 1);
        }
        if (c.rule == TArgRule::Range || c.rule == TArgRule::LowByte)
            for (int i = c.first; i <= c.last; ++i)
                a.SetArg(i, c.min);
        if (c.rule == TArgRule::FileName)
            a.SetFileName(QStringLiteral("/tmp/a.bmp"));
    }
    return a;
}

TEST(CommandTable, EveryCodeHasANamedRunnableEntry)
{
    ASSERT_EQ(CommandTable().size(), size_t(kLastCommandCode + 1));
    for (const TCommandEntry& e : CommandTable()) {
        SCOPED_TRACE(e.name);
        EXPECT_EQ(FindCommand(e.code), &e);
        ASSERT_NE(e.name, nullptr);
        EXPECT_GT(std::strlen(e.name), 0u);
        EXPECT_NE(e.run, nullptr);
        // Marking the image needs the image.
        EXPECT_TRUE(!e.changesImage || e.needsImageWindow);
        EXPECT_TRUE(CheckRecord(passing(e)).ok());
    }
    EXPECT_EQ(FindCommand(kLastCommandCode + 1), nullptr);
    EXPECT_EQ(FindCommand(255), nullptr);
}

TEST(CommandTable, RangesPassTheirBoundsAndRefuseOnePast)
{
    int ranges = 0;
    for (const TCommandEntry& e : CommandTable())
        for (const TArgCheck& c : e.checks) {
            if (c.rule != TArgRule::Range && c.rule != TArgRule::LowByte && c.rule != TArgRule::ImageSize)
                continue;
            ++ranges;
            const bool size = c.rule == TArgRule::ImageSize;
            const int first = size ? 1 : c.first, last = size ? 2 : c.last;
            const int32_t min = size ? 1 : c.min, max = size ? kMaxImageSide : c.max;
            for (int i = first; i <= last; ++i) {
                const struct {
                    int32_t value;
                    bool ok;
                } values[] = {{min, true}, {max, true}, {min - 1, false}, {max + 1, false}};
                for (const auto& v : values) {
                    // A low byte cannot lie below 0.
                    if (c.rule == TArgRule::LowByte && v.value < 0)
                        continue;
                    tautomatitem a = passing(e);
                    a.SetArg(i, v.value);
                    const TRecordCheck r = CheckRecord(a);
                    EXPECT_EQ(r.ok(), v.ok) << e.name << " Arg" << i << " = " << v.value;
                    EXPECT_EQ(r.german.isEmpty(), v.ok) << e.name;
                }
            }
        }
    // new image, resize, resample (size and filter), cut, copy, paste into, colours, threshold.
    EXPECT_EQ(ranges, 9);
}

// Each row's menu items: a place and both captions, and the caption table turns the
// German into the English the row expects (a new caption may hit an older fragment).
TEST(CommandTable, ItemCaptionsTranslateToTheirRowsEnglish)
{
    int items = 0;
    for (const TCommandEntry& e : CommandTable())
        for (const TCommandItem& i : e.items) {
            if (!i.name)
                continue;
            ++items;
            SCOPED_TRACE(i.name);
            ASSERT_TRUE(i.menu && i.german && i.english);
            SetLanguage(langGerman);
            EXPECT_EQ(TranslatedCaption(QString::fromUtf8(i.german)), QString::fromUtf8(i.german));
            SetLanguage(langEnglish);
            EXPECT_EQ(TranslatedCaption(QString::fromUtf8(i.german)), QString::fromUtf8(i.english));
        }
    SetLanguage(langGerman);
    EXPECT_GE(items, 30);
}

}  // namespace

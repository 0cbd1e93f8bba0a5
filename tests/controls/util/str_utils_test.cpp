// The kit's string routines.
#include "controls/util/str_utils.h"

#include <gtest/gtest.h>

TEST(StrUtils, ReplaceSubstringNeverRescansReplacements)
{
    struct Case {
        const char* text;
        const char* search;
        const char* repl;
        const char* expected;
    };
    const Case cases[] = {
        {"a..b", ".", "..", "a....b"},
        {"aaa", "a", "aa", "aaaaaa"},
        {"abcabc", "bc", "", "aa"},
        {"abc", "", "x", "abc"},
        {"abc", "abcd", "x", "abc"},
        {"ababab", "aba", "X", "Xbab"},
        {"", "a", "b", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReplaceSubstring(c.text, c.search, c.repl), QString(c.expected)) << c.text << " / " << c.search;
}

TEST(StrUtils, DeleteCharsAndBlankTrimming)
{
    EXPECT_EQ(DeleteChars("1.234.567", QLatin1Char('.')), QString("1234567"));
    EXPECT_EQ(DeleteChars("", QLatin1Char('.')), QString());
    struct Case {
        const char* text;
        const char* lead;
        const char* trail;
        const char* both;
    };
    const Case cases[] = {
        {"  ab  ", "ab  ", "  ab", "ab"},
        {"\tab ", "\tab ", "\tab", "\tab"},  // only the space character is a blank
        {"    ", "", "", ""},
        {"a b", "a b", "a b", "a b"},
        {"", "", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TrimLeadingBlanks(c.text), QString(c.lead)) << '"' << c.text << '"';
        EXPECT_EQ(TrimTrailingBlanks(c.text), QString(c.trail)) << '"' << c.text << '"';
        EXPECT_EQ(TrimBlanks(c.text), QString(c.both)) << '"' << c.text << '"';
    }
}

TEST(StrUtils, RepeatChar)
{
    EXPECT_EQ(RepeatChar(QLatin1Char('x'), 3), QString("xxx"));
    EXPECT_EQ(RepeatChar(QLatin1Char('x'), 0), QString());
    EXPECT_EQ(RepeatChar(QLatin1Char('x'), -4), QString());
}

TEST(StrUtils, WordStartAndNthWord)
{
    struct Case {
        int n;
        const char* text;
        const char* delims;
        int start;
        const char* word;
    };
    const Case cases[] = {
        {1, "  ab  cd", " ", 3, "ab"}, {2, "  ab  cd", " ", 7, "cd"}, {3, "  ab  cd", " ", 0, ""},
        {1, "   ", " ", 0, ""},        {1, ";;", ";", 0, ""},         {2, "a,b;c", ",;", 3, "b"},
        {3, "a,b;c", ",;", 5, "c"},    {1, "word", " ", 1, "word"},   {0, "word", " ", 0, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WordStart(c.n, c.text, c.delims), c.start) << c.n << " in \"" << c.text << '"';
        EXPECT_EQ(NthWord(c.n, c.text, c.delims), QString(c.word)) << c.n << " in \"" << c.text << '"';
    }
}

TEST(StrUtils, NextItemWalksDelimitedList)
{
    const QString list = "/abc;/def";
    int pos = 1;
    EXPECT_EQ(NextItem(list, pos, ";"), QString("/abc"));
    EXPECT_EQ(pos, 6);
    EXPECT_EQ(NextItem(list, pos, ";"), QString("/def"));
    EXPECT_EQ(pos, 10);
    EXPECT_EQ(NextItem(list, pos, ";"), QString());
    EXPECT_EQ(pos, 10);

    // Empty items between delimiters come out empty.
    pos = 1;
    EXPECT_EQ(NextItem("a;;b", pos, ";"), QString("a"));
    EXPECT_EQ(NextItem("a;;b", pos, ";"), QString());
    EXPECT_EQ(pos, 4);
    EXPECT_EQ(NextItem("a;;b", pos, ";"), QString("b"));
    EXPECT_EQ(pos, 5);
}

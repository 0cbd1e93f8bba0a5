// Language-dependent messages and help pages, paths, the stopwatch and stream strings.
#include "app/options/option_file.h"
#include "app/text/language.h"
#include "app/util/paths.h"
#include "app/util/stopwatch.h"
#include "app/util/stream_strings.h"
#include "platform/core/exceptions.h"
#include "platform/core/streams.h"
#include "common/test_support.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

class Messages : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetMessageDlgHook([this](const MessageDlgCall& c) {
            calls.push_back(c);
            return answer;
        });
    }
    void TearDown() override
    {
        SetMessageDlgHook(nullptr);
        SetLanguage(langGerman);
    }
    std::vector<MessageDlgCall> calls;
    int answer = mrOk;
};

}  // namespace

TEST_F(Messages, DialogShowsTheTextOfTheLanguageAndReturnsThePressedButton)
{
    for (uint8_t lang : {langGerman, langEnglish}) {
        SetLanguage(lang);
        for (int result : {mrOk, mrCancel, mrYes, mrNo}) {
            answer = result;
            calls.clear();
            const int got = LangMessageDlg(QStringLiteral("Bild speichern?"), mtConfirmation, mbYesNoCancel,
                                           QStringLiteral("Save image?"), 0);
            EXPECT_EQ(got, result);
            ASSERT_EQ(calls.size(), 1u);
            EXPECT_EQ(calls[0].message,
                      lang == langEnglish ? QStringLiteral("Save image?") : QStringLiteral("Bild speichern?"));
            EXPECT_EQ(calls[0].type, mtConfirmation);
            EXPECT_EQ(calls[0].buttons, mbYesNoCancel);
        }
    }
}

TEST_F(Messages, BoxCaptionsFollowTheLanguage)
{
    SetLanguage(langGerman);
    LangMessageDlg(QStringLiteral("a"), mtWarning, mbOK, QStringLiteral("b"));
    SetLanguage(langEnglish);
    LangMessageDlg(QStringLiteral("a"), mtWarning, mbOK, QStringLiteral("b"));
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].caption, QStringLiteral("Warnung"));
    EXPECT_EQ(calls[1].caption, QStringLiteral("Warning"));
}

TEST_F(Messages, AStrayLanguageByteStillShowsTheDialog)
{
    SetLanguage(7);
    EXPECT_EQ(CurrentLanguage(), langGerman);
    answer = mrCancel;
    EXPECT_EQ(LangMessageDlg(QStringLiteral("Änderungen speichern?"), mtConfirmation, mbYesNoCancel,
                             QStringLiteral("Save changes?")),
              mrCancel);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].message, QStringLiteral("Änderungen speichern?"));
}

TEST_F(Messages, ShowMessageAndTextPickTheLanguage)
{
    SetLanguage(langEnglish);
    LangShowMessage(QStringLiteral("Fertig"), QStringLiteral("Done"));
    EXPECT_EQ(LangText(QStringLiteral("Ja"), QStringLiteral("Yes")), QStringLiteral("Yes"));
    SetLanguage(langGerman);
    LangShowMessage(QStringLiteral("Fertig"), QStringLiteral("Done"));
    EXPECT_EQ(LangText(QStringLiteral("Ja"), QStringLiteral("Yes")), QStringLiteral("Ja"));
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].message, QStringLiteral("Done"));
    EXPECT_EQ(calls[1].message, QStringLiteral("Fertig"));
    EXPECT_EQ(HelpFileName(langGerman), QStringLiteral("Kandrivel.html"));
    EXPECT_EQ(HelpFileName(langEnglish), QStringLiteral("Kandrivel(e).html"));
}

TEST(StreamStrings, RoundTripKeepsEveryByte)
{
    const QString texts[] = {QString(), QStringLiteral("a b  c"), QStringLiteral("Grüße aus Köln – €ß"),
                             QString(300, QChar(0x00E4))};
    TMemoryStream m;
    for (const QString& t : texts)
        WriteStreamString(t, m);
    // Length prefix is the UTF-8 byte count.
    EXPECT_EQ(m.Size(), 4 * 4 + 0 + 6 + QStringLiteral("Grüße aus Köln – €ß").toUtf8().size() + 600);
    m.SetPosition(0);
    for (const QString& t : texts) {
        QString r = QStringLiteral("old");
        ReadStreamString(r, m);
        EXPECT_EQ(r, t);
    }
    EXPECT_EQ(m.Remaining(), 0);
}

TEST(StreamStrings, NonPositiveLengthGivesEmptyAndShortInputRaises)
{
    TMemoryStream m;
    m.WriteI32(-3);
    m.WriteI32(10);
    m.WriteBuffer("abc", 3);
    m.SetPosition(0);
    QString t = QStringLiteral("x");
    ReadStreamString(t, m);
    EXPECT_TRUE(t.isEmpty());
    EXPECT_THROW(ReadStreamString(t, m), EReadError);

    TMemoryStream huge;
    huge.WriteI32(0x7FFFFFFF);
    huge.SetPosition(0);
    EXPECT_THROW(ReadStreamString(t, huge), EReadError);

    TMemoryStream cut;
    cut.WriteU16(5);
    cut.SetPosition(0);
    EXPECT_THROW(ReadStreamString(t, cut), EReadError);
}

TEST(Stopwatch, WholeSecondsRoundedHalfToEven)
{
    int64_t now = 1000;
    SetStopwatchClock([&] { return now; });
    StartStopwatch();
    const struct {
        int64_t ms;
        int seconds;
    } cases[] = {{0, 0}, {499, 0}, {500, 0}, {501, 1}, {1500, 2}, {2500, 2}, {3500, 4}, {61000, 61}};
    for (const auto& c : cases) {
        now = 1000 + c.ms;
        EXPECT_EQ(StopwatchSeconds(), c.seconds) << c.ms;
    }
    SetStopwatchClock(nullptr);
    StartStopwatch();
    EXPECT_GE(StopwatchSeconds(), 0);
}

TEST(Paths, TrailingSeparatorOnce)
{
    EXPECT_EQ(AddTrailingBackslash(QString()), QString());
    EXPECT_EQ(AddTrailingBackslash(QStringLiteral("/home/a")), QStringLiteral("/home/a/"));
    EXPECT_EQ(AddTrailingBackslash(QStringLiteral("/home/a/")), QStringLiteral("/home/a/"));
    EXPECT_EQ(AddTrailingBackslash(QStringLiteral("/")), QStringLiteral("/"));
    EXPECT_TRUE(WindowsDirectory().endsWith(QLatin1Char('/')));
}

TEST(HelpPages, BothLanguagesCarryAnAnchorForEveryContextNumber)
{
    const QString dir = SourcePath(QStringLiteral("resources/help"));
    EXPECT_TRUE(EnglishHelpPresent(dir));
    for (uint8_t lang : {langGerman, langEnglish}) {
        const QString page = QString::fromUtf8(ReadWholeFile(dir + QLatin1Char('/') + HelpFileName(lang)));
        for (int context :
             {1, 11, 14, 21, 22, 23, 24, 25, 26, 27, 28, 43, 44, 45, 411, 418, 436, 441, 442, 999, 4111, 4114, 41139})
            EXPECT_TRUE(page.contains(QStringLiteral("id=\"context-%1\"").arg(context))) << context;
    }
    EXPECT_FALSE(EnglishHelpPresent(TempDir()));
}

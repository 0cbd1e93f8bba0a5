#include "platform/ui/application.h"

#include "platform/core/exceptions.h"
#include "platform/ui/dialogs.h"

#include <QTemporaryDir>
#include <QTimer>
#include <QFile>
#include <gtest/gtest.h>
#include <stdexcept>
#include <vector>

namespace {

struct BoxRecorder {
    std::vector<MessageDlgCall> calls;
    BoxRecorder()
    {
        SetMessageDlgHook([this](const MessageDlgCall& c) {
            calls.push_back(c);
            return int(mrOk);
        });
    }
    ~BoxRecorder() { SetMessageDlgHook(nullptr); }
};

} // namespace

TEST(ApplicationExceptions, GuardShowsTheDefaultBoxForOurExceptions)
{
    BoxRecorder rec;
    TApplication::SetTitle(QStringLiteral("Kandrivel"));
    EXPECT_FALSE(TApplication::Guard([] { throw EFOpenError(QStringLiteral("Cannot open file x.bmp")); }));
    EXPECT_FALSE(TApplication::Guard([] { throw EFOpenError(QStringLiteral("Cannot open file \"x.bmp\"")); }));
    ASSERT_EQ(rec.calls.size(), 2u);
    EXPECT_EQ(rec.calls[0].message, QStringLiteral("Cannot open file x.bmp."));
    // '"' sorts before '.': no full stop added.
    EXPECT_EQ(rec.calls[1].message, QStringLiteral("Cannot open file \"x.bmp\""));
    EXPECT_EQ(rec.calls[0].caption, QStringLiteral("Kandrivel"));
    EXPECT_EQ(rec.calls[0].type, mtError);
    EXPECT_EQ(rec.calls[0].buttons, TMsgDlgButtons(mbOK));
}

TEST(ApplicationExceptions, StandardExceptionsAndFinalPunctuation)
{
    BoxRecorder rec;
    EXPECT_FALSE(TApplication::Guard([] { throw std::runtime_error("disk full."); }));
    EXPECT_FALSE(TApplication::Guard([] { throw EInvalidGraphic(QStringLiteral("Wrong format!")); }));
    EXPECT_FALSE(TApplication::Guard([] { throw 42; }));
    EXPECT_TRUE(TApplication::Guard([] {}));
    ASSERT_EQ(rec.calls.size(), 3u);
    EXPECT_EQ(rec.calls[0].message, QStringLiteral("disk full."));     // already ends in '.'
    EXPECT_EQ(rec.calls[1].message, QStringLiteral("Wrong format!"));  // '!' sorts before '.'
    EXPECT_FALSE(rec.calls[2].message.isEmpty());
}

TEST(ApplicationExceptions, OnExceptionReplacesTheBoxAndMayThrowItself)
{
    BoxRecorder rec;
    QString seen;
    TApplication::OnException = [&](const std::exception& e) {
        seen = QString::fromUtf8(e.what());
        throw std::logic_error("handler failed");
    };
    EXPECT_FALSE(TApplication::Guard([] { throw ERangeError(QStringLiteral("out of range")); }));
    TApplication::OnException = nullptr;
    EXPECT_EQ(seen, QStringLiteral("out of range"));
    EXPECT_TRUE(rec.calls.empty());
}

TEST(ApplicationHelp, ContextNumbersBecomeAnchors)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("Kandrivel.html"));
    QString opened;
    TApplication::OpenUrlHook = [&](const QString& url) {
        opened = url;
        return true;
    };
    TApplication::SetHelpFile(file);
    EXPECT_FALSE(TApplication::HelpContext(12));   // missing file: nothing opened
    EXPECT_TRUE(opened.isEmpty());
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("<html></html>");
    f.close();
    EXPECT_TRUE(TApplication::HelpContext(12));
    EXPECT_TRUE(opened.endsWith(QStringLiteral("Kandrivel.html#context-12")));
    EXPECT_TRUE(opened.startsWith(QStringLiteral("file://")));
    TApplication::OpenUrlHook = nullptr;
    TApplication::SetHelpFile(QString());
}

// Long work lets timers and painting run between its steps, but not more often than
// the interval.
TEST(ApplicationResponsive, EventsRunAtMostOncePerInterval)
{
    int64_t now = 1000000;
    TApplication::ResponsiveClock = [&] { return now; };
    int ran = 0;
    struct Step {
        int64_t advance;
        int ran;
    } steps[] = {{TApplication::kResponsiveMs, 1}, {1, 1}, {TApplication::kResponsiveMs - 2, 1},
                 {1, 4}, {TApplication::kResponsiveMs, 5}};  // what waited runs at the next turn
    for (const Step& s : steps) {
        now += s.advance;
        QTimer::singleShot(0, [&] { ++ran; });
        TApplication::KeepResponsive();
        EXPECT_EQ(ran, s.ran) << now;
    }
    TApplication::ResponsiveClock = nullptr;
    QCoreApplication::processEvents();
}

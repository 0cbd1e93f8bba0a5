// The application object: exceptions in handlers, help and responsiveness.
#include "platform/ui/application.h"

#include "platform/core/exceptions.h"
#include "platform/ui/dialogs.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QFile>
#include <QGuiApplication>
#include <QIcon>
#include <QStyle>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>
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

}  // namespace

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

// The window system appends the display name to every title that does not end with it,
// which gave the frame "Kandrivel - [name] — Kandrivel"; the title is no display name.
TEST(ApplicationExceptions, TheTitleNamesMessageBoxesOnly)
{
    TApplication::SetTitle(QStringLiteral("Kandrivel Bildbetrachter"));
    EXPECT_EQ(TApplication::Title(), QStringLiteral("Kandrivel Bildbetrachter"));
    EXPECT_NE(QGuiApplication::applicationDisplayName(), QStringLiteral("Kandrivel Bildbetrachter"));
    TApplication::SetTitle(QStringLiteral("Kandrivel"));
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
    EXPECT_FALSE(TApplication::HelpContext(12));  // missing file: nothing opened
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

// Help that cannot be shown is reported with the reason: no file, or nothing opened it.
TEST(ApplicationHelp, FailuresAreReported)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("Kandrivel.html"));
    std::vector<std::pair<QString, bool>> failures;
    TApplication::OnHelpFailure = [&](const QString& f, bool missing) { failures.emplace_back(f, missing); };
    bool opens = false;
    TApplication::OpenUrlHook = [&](const QString&) { return opens; };
    TApplication::SetHelpFile(file);
    EXPECT_FALSE(TApplication::HelpShow());
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    EXPECT_FALSE(TApplication::HelpContext(3));
    opens = true;
    EXPECT_TRUE(TApplication::HelpShow());
    const std::vector<std::pair<QString, bool>> expected = {{file, true}, {file, false}};
    EXPECT_EQ(failures, expected);

    // The desktop's opener starts, then finds nothing to show the page with.
    TApplication::OpenUrlHook = nullptr;
    failures.clear();
    const QString bin = dir.filePath(QStringLiteral("bin"));
    ASSERT_TRUE(QDir().mkpath(bin));
    QFile opener(bin + QStringLiteral("/xdg-open"));
    ASSERT_TRUE(opener.open(QIODevice::WriteOnly));
    opener.write("#!/bin/sh\nexit 3\n");
    opener.close();
    opener.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", bin.toUtf8());
    EXPECT_TRUE(TApplication::HelpContext(7));
    qputenv("PATH", path);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !failures.empty(); }, 20000));
    EXPECT_EQ(failures, (std::vector<std::pair<QString, bool>>{{file, false}}));
    TApplication::OnHelpFailure = nullptr;
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
    } steps[] = {{TApplication::kResponsiveMs, 1},
                 {1, 1},
                 {TApplication::kResponsiveMs - 2, 1},
                 {1, 4},
                 {TApplication::kResponsiveMs, 5}};  // what waited runs at the next turn
    for (const Step& s : steps) {
        now += s.advance;
        QTimer::singleShot(0, [&] { ++ran; });
        TApplication::KeepResponsive();
        EXPECT_EQ(ran, s.ran) << now;
    }
    TApplication::ResponsiveClock = nullptr;
    QCoreApplication::processEvents();
}

// Each standard icon is made once and handed out again, yet still follows the direction:
// a back arrow points right in a right-to-left window.
TEST(ApplicationStyle, StandardIconsAreSharedPerKindAndDirection)
{
    TApplication::ShareStandardIcons();
    QStyle* const style = QApplication::style();
    TApplication::ShareStandardIcons();
    EXPECT_EQ(QApplication::style(), style);
    auto* proxy = qobject_cast<QProxyStyle*>(style);
    ASSERT_TRUE(proxy);
    const std::unique_ptr<QStyle> plain(QStyleFactory::create(proxy->baseStyle()->name()));
    ASSERT_TRUE(plain);
    const auto image = [](const QIcon& icon) { return icon.pixmap(16, 16).toImage(); };
    std::vector<QImage> backArrows;
    for (const Qt::LayoutDirection direction : {Qt::LeftToRight, Qt::RightToLeft, Qt::LeftToRight}) {
        QGuiApplication::setLayoutDirection(direction);
        QWidget widget;
        for (const QStyle::StandardPixmap kind : {QStyle::SP_TitleBarCloseButton, QStyle::SP_ArrowBack}) {
            SCOPED_TRACE(int(kind) * 10 + int(direction));
            const QIcon icon = style->standardIcon(kind, nullptr, &widget);
            EXPECT_FALSE(icon.isNull());
            EXPECT_EQ(style->standardIcon(kind, nullptr, &widget).cacheKey(), icon.cacheKey());
            EXPECT_EQ(image(icon), image(plain->standardIcon(kind, nullptr, &widget)));
        }
        backArrows.push_back(image(style->standardIcon(QStyle::SP_ArrowBack, nullptr, &widget)));
    }
    QGuiApplication::setLayoutDirection(Qt::LeftToRight);
    EXPECT_NE(backArrows[0], backArrows[1]);
    EXPECT_EQ(backArrows[0], backArrows[2]);
}

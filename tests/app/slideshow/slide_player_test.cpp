// The slide-show player: orders, pause, keys, broken files, scaling and comments.
#include "app/slideshow/slide_player.h"
#include "app/slideshow/slide_list.h"
#include "app/text/language.h"
#include "common/test_support.h"
#include "imaging/kit/image_kit.h"
#include "platform/core/streams.h"
#include "platform/ui/dialogs.h"

#include <QDir>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// The countdown on a clock the test moves by hand.
class FakeClock : public TSlideTimer {
public:
    int64_t now = 0, deadline = -1;
    std::vector<int> requested;
    void Start(int ms) override
    {
        requested.push_back(ms);
        deadline = now + ms;
    }
    void Stop() override { deadline = -1; }
    void Advance(int64_t ms)
    {
        now += ms;
        if (deadline >= 0 && now >= deadline) {
            deadline = -1;
            OnTimeout();
        }
    }
};

class FakeSound : public TSlideSound {
public:
    std::vector<std::pair<QString, bool>>* plays;
    int* stops;
    void Play(const QString& f, bool loop) override { plays->push_back({f, loop}); }
    void Stop() override { ++*stops; }
};

class SlidePlayer : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = TempDir();
        SetMessageDlgHook([this](const MessageDlgCall& c) {
            messages.push_back(c.message);
            return mrOk;
        });
        SetBeepHook([this] { ++beeps; });
        o = tslideshowoptions::Defaults();
        o.sound = 0;
        o.showtext = 0;
        o.hidetaskbar = 0;
        o.window = 2;
        o.fixedwidth = o.fixedheight = 200;
        o.seconds = 90;
    }
    void TearDown() override
    {
        player.reset();
        SetMessageDlgHook(nullptr);
        SetBeepHook(nullptr);
        SetLanguage(langGerman);
    }
    QString image(const QString& name, int w = 40, int h = 30, QColor color = Qt::darkGreen)
    {
        QImage im(w, h, QImage::Format_RGB888);
        im.fill(color);
        const QString path = QDir(dir).filePath(name);
        EXPECT_TRUE(im.save(path, "BMP"));
        return path;
    }
    Tdoslide& start(const QStringList& list, QWidget* main = nullptr)
    {
        WriteSlideList(dir + QStringLiteral("/slide.sld"), list);
        player = std::make_unique<Tdoslide>(main, o);
        player->SlideListFile = dir + QStringLiteral("/slide.sld");
        auto c = std::make_unique<FakeClock>();
        clock = c.get();
        player->SetTimer(std::move(c));
        auto s = std::make_unique<FakeSound>();
        s->plays = &plays;
        s->stops = &stops;
        player->SetSound(std::move(s));
        player->Random = [this](int) { return draws[drawn++ % draws.size()]; };
        player->Start();
        return *player;
    }
    QStringList names(const QStringList& paths)
    {
        QStringList out;
        for (const QString& p : paths)
            out.append(QFileInfo(p).fileName());
        return out;
    }
    void key(int k, bool autoRepeat = false)
    {
        QKeyEvent e(QEvent::KeyPress, k, Qt::NoModifier, QString(), autoRepeat);
        QApplication::sendEvent(player.get(), &e);
    }

    QString dir;
    tslideshowoptions o;
    std::unique_ptr<Tdoslide> player;
    FakeClock* clock = nullptr;
    std::vector<std::pair<QString, bool>> plays;
    int stops = 0, beeps = 0;
    std::vector<QString> messages;
    std::vector<int> draws = {0};
    size_t drawn = 0;
};

}  // namespace

TEST_F(SlidePlayer, TimedAdvanceFollowsEachOrderAndRepeatSetting)
{
    const QStringList list = {image("a.bmp"), image("b.bmp"), image("c.bmp")};
    struct Case {
        int order;
        bool repeat;
        std::vector<int> draws;
        QStringList expected;  // after six countdowns
        bool ends;
    };
    const Case cases[] = {
        {0, false, {0}, {"a.bmp", "b.bmp", "c.bmp"}, true},
        {1, false, {0}, {"c.bmp", "b.bmp", "a.bmp"}, true},
        {0, true, {0}, {"a.bmp", "b.bmp", "c.bmp", "a.bmp", "b.bmp", "c.bmp", "a.bmp"}, false},
        {1, true, {0}, {"c.bmp", "b.bmp", "a.bmp", "c.bmp", "b.bmp", "a.bmp", "c.bmp"}, false},
        {2, false, {2, 2, 0, 1, 0, 2, 1}, {"c.bmp", "c.bmp", "a.bmp", "b.bmp", "a.bmp", "c.bmp", "b.bmp"}, false},
    };
    for (const Case& c : cases) {
        o.order = c.order;
        o.repeat = c.repeat;
        o.nextonkey = 0;
        draws = c.draws;
        drawn = 0;
        Tdoslide& p = start(list);
        ASSERT_EQ(clock->requested.size(), 1u);
        EXPECT_EQ(clock->requested[0], 90000);  // 90 seconds wait 90 seconds
        clock->Advance(89999);
        EXPECT_EQ(p.Played().size(), 1);
        for (int i = 0; i < 6; ++i)
            clock->Advance(90000);
        EXPECT_EQ(names(p.Played()), c.expected) << "order " << c.order << " repeat " << c.repeat;
        if (c.ends)
            ASSERT_TRUE(QTest::qWaitFor([&] { return p.Finished(); }, 10000));
        else
            EXPECT_TRUE(p.Running());
        EXPECT_TRUE(messages.empty());
    }
}

TEST_F(SlidePlayer, PauseHoldsOnlyTheTimedAdvance)
{
    const QStringList list = {image("a.bmp"), image("b.bmp"), image("c.bmp"), image("d.bmp")};
    Tdoslide& p = start(list);
    key(Qt::Key_S);
    EXPECT_TRUE(p.Paused());
    clock->Advance(200000);
    EXPECT_EQ(names(p.Played()), QStringList{"a.bmp"});
    key(Qt::Key_Space);  // the key still works while paused
    EXPECT_EQ(names(p.Played()), (QStringList{"a.bmp", "b.bmp"}));
    QTest::mouseClick(p.imageKit, Qt::LeftButton);  // and the mouse
    EXPECT_EQ(names(p.Played()), (QStringList{"a.bmp", "b.bmp", "c.bmp"}));
    clock->Advance(100000);
    EXPECT_EQ(p.Played().size(), 3);
    key(Qt::Key_S);  // the countdown ran out meanwhile: on at once
    EXPECT_FALSE(p.Paused());
    EXPECT_EQ(names(p.Played()).last(), QStringLiteral("d.bmp"));
}

TEST_F(SlidePlayer, HeldSpaceAdvancesOnceAndEscEndsTheShow)
{
    o.nexttimed = 0;
    o.order = 2;  // random: ends only by Esc
    o.sound = 1;
    o.soundfile.Assign(QStringLiteral("/musik/hintergrund.wav"));
    draws = {1, 0, 1, 0};
    const QStringList list = {image("a.bmp"), image("b.bmp")};
    Tdoslide& p = start(list);
    EXPECT_TRUE(clock->requested.empty());  // no countdown without its setting
    ASSERT_EQ(plays.size(), 1u);
    EXPECT_EQ(plays[0], std::make_pair(QStringLiteral("/musik/hintergrund.wav"), true));
    key(Qt::Key_Space);
    for (int i = 0; i < 5; ++i)
        key(Qt::Key_Space, true);  // the held bar repeating
    EXPECT_EQ(names(p.Played()), (QStringList{"b.bmp", "a.bmp"}));
    key(Qt::Key_Escape);
    EXPECT_FALSE(p.Running());
    EXPECT_FALSE(p.Finished());  // closed by the deferred close, not inside the key event
    ASSERT_TRUE(QTest::qWaitFor([&] { return p.Finished(); }, 10000));
    EXPECT_FALSE(p.isVisible());
    EXPECT_GE(stops, 1);
    EXPECT_EQ(p.imageKit->Bitmap()->Width(), 10);
}

TEST_F(SlidePlayer, TheDirectoryWalkLetsEventsRunAndEscapeEndsIt)
{
    // Three folders, so that the walk lets the events run more than once.
    const QString root = QDir(dir).filePath(QStringLiteral("tree"));
    for (const char* sub : {"", "/eins", "/zwei"}) {
        QDir().mkpath(root + QLatin1String(sub));
        image(QStringLiteral("tree%1/bild.bmp").arg(QLatin1String(sub)));
    }
    o.source = 1;
    o.subdirs = 1;
    o.dirsort = slsName;
    o.directory.Assign(root);
    const struct {
        bool escape;
        int files;  // 0: the show ended without a word
    } cases[] = {{false, 3}, {true, 0}};
    for (const auto& c : cases) {
        messages.clear();
        int ranDuringWalk = 0;
        QTimer::singleShot(0, [&] {
            ++ranDuringWalk;
            // A press before there is anything to show must not advance into nothing.
            QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton, Qt::LeftButton,
                              Qt::NoModifier);
            QApplication::sendEvent(player.get(), &press);
            if (c.escape)
                key(Qt::Key_Escape);
        });
        Tdoslide& p = start({});
        EXPECT_EQ(ranDuringWalk, 1) << c.escape;
        EXPECT_TRUE(messages.empty()) << c.escape;
        if (c.files) {
            EXPECT_EQ(p.Files().size(), c.files);
            EXPECT_EQ(p.Played().size(), 1);
            EXPECT_TRUE(p.Running());
        } else {
            EXPECT_TRUE(p.Played().isEmpty());
            EXPECT_FALSE(p.Running());
            ASSERT_TRUE(QTest::qWaitFor([&] { return p.Finished(); }, 10000));
        }
    }
}

TEST_F(SlidePlayer, NothingToShowSaysSoInBothLanguages)
{
    const std::pair<uint8_t, QString> cases[] = {
        {langGerman, QStringLiteral("Keine Dateien zum Abspielen vorhanden!\n"
                                    "Bitte wählen Sie diese im Menü unter Datei/Diashow/Optionen aus.")},
        {langEnglish, QStringLiteral("No files for showing!\nPlease choose them in File/Slideshow/Options menu")},
    };
    for (const auto& [language, text] : cases) {
        for (int source : {0, 1}) {
            SetLanguage(language);
            messages.clear();
            o.source = source;
            o.directory.Assign(TempDir());  // an empty folder
            Tdoslide& p = start({});
            ASSERT_EQ(messages.size(), 1u);
            EXPECT_EQ(messages[0], text);
            ASSERT_TRUE(QTest::qWaitFor([&] { return p.Finished(); }, 10000));
        }
    }
}

TEST_F(SlidePlayer, BrokenFilesAreSkippedSilently)
{
    const QString broken = QDir(dir).filePath(QStringLiteral("kaputt.bmp"));
    WriteFileSafely(broken, "BM not a bitmap at all");
    const QString missing = QDir(dir).filePath(QStringLiteral("fehlt.bmp"));
    Tdoslide& p = start({broken, image("a.bmp"), missing, image("b.bmp"), broken});
    clock->Advance(90000);
    EXPECT_EQ(names(p.Played()), (QStringList{"a.bmp", "b.bmp"}));
    EXPECT_TRUE(messages.empty());
    clock->Advance(90000);
    ASSERT_TRUE(QTest::qWaitFor([&] { return p.Finished(); }, 10000));

    // Only broken files: the show ends at once, still without a word per file.
    o.repeat = 1;
    Tdoslide& q = start({broken, missing});
    EXPECT_TRUE(q.Played().isEmpty());
    EXPECT_TRUE(messages.empty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return q.Finished(); }, 10000));
}

TEST_F(SlidePlayer, FitAndFillScaleIntoTheWindow)
{
    o.fixedwidth = o.fixedheight = 1000;
    o.filter = 1;
    struct Case {
        int scaling, w, h, ew, eh;
    };
    const Case cases[] = {
        {1, 2000, 1000, 1000, 500}, {2, 2000, 1000, 2000, 1000}, {2, 500, 1000, 1000, 2000},
        {1, 500, 1000, 500, 1000},  {0, 300, 100, 300, 100},
    };
    for (const Case& c : cases) {
        o.scaling = c.scaling;
        Tdoslide& p = start({image("big.bmp", c.w, c.h)});
        ASSERT_EQ(p.imageKit->width(), 1000);
        TBitmap* b = p.imageKit->Bitmap();
        EXPECT_EQ(b->Width(), c.ew) << c.scaling << " " << c.w << "x" << c.h;
        EXPECT_EQ(b->Height(), c.eh);
        int maxX = 0, maxY = 0;
        p.imageKit->GetMaxViewXY(maxX, maxY);
        const QRect screen = p.ScreenRect();
        if (c.scaling != 0) {
            EXPECT_EQ(p.imageKit->ViewX(), std::min(maxX, SlideViewOrigin(c.ew, 100, screen.width())));
            EXPECT_EQ(p.imageKit->ViewY(), std::min(maxY, SlideViewOrigin(c.eh, 100, screen.height())));
        }
    }
}

TEST_F(SlidePlayer, CommentsAreWrittenPlayedAndBeeped)
{
    o.showtext = 1;
    o.sound = 2;
    o.fontsize = 12;
    const QString a = image("a.bmp", 200, 60, Qt::blue);
    const QString b = image("b.bmp", 200, 60, Qt::blue);
    const QString c = image("c.bmp", 200, 60, Qt::blue);
    WriteFileSafely(a + ".txt", "Urlaub\r\nzweite Zeile\r\n");
    WriteFileSafely(a + ".wav", "RIFF");
    WriteFileSafely(b + ".txt", "\r\nnur die zweite Zeile\r\n");
    Tdoslide& p = start({a, b, c});
    TBitmap* bmp = p.imageKit->Bitmap();
    auto count = [&](TColor colour) {
        int n = 0;
        for (int y = 0; y < bmp->Height(); ++y)
            for (int x = 0; x < bmp->Width(); ++x)
                n += bmp->PixelColor(x, y) == colour;
        return n;
    };
    EXPECT_GT(count(RGB(255, 255, 255)), 0);
    EXPECT_GT(count(clBlack), 0);
    EXPECT_EQ(bmp->PixelColor(199, 59), RGB(0, 0, 255));
    EXPECT_EQ(beeps, 1);
    ASSERT_EQ(plays.size(), 1u);
    EXPECT_EQ(plays[0], std::make_pair(a + ".wav", false));
    for (int i = 0; i < 2; ++i) {  // an empty first line and no files: nothing written
        clock->Advance(90000);
        EXPECT_EQ(count(RGB(0, 0, 255)), 200 * 60);
    }
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(plays.size(), 1u);
}

TEST_F(SlidePlayer, ClosingTheMainWindowEndsTheShow)
{
    QWidget main;
    main.show();
    Tdoslide& p = start({image("a.bmp"), image("b.bmp")}, &main);
    EXPECT_TRUE(p.Running());
    main.close();
    EXPECT_FALSE(p.Running());
    ASSERT_TRUE(QTest::qWaitFor([&] { return p.Finished(); }, 10000));
    clock->Advance(90000);
    EXPECT_EQ(p.Played().size(), 1);
    player.reset();  // freed before its parent
}

// The player's own window closed while the show's loop waits: the loop ends with it.
TEST_F(SlidePlayer, ClosingThePlayerWindowEndsTheShowsLoop)
{
    Tdoslide& p = start({image("a.bmp"), image("b.bmp")});
    QTimer::singleShot(0, &p, [&p] { p.close(); });
    p.Execute();
    EXPECT_TRUE(p.Finished());
    EXPECT_EQ(p.Played().size(), 1);
}

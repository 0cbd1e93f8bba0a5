// The slide-show commands reaching the player, and catalog shows.
#include "app/catalog/catalog_window.h"
#include "app/app_test_util.h"
#include "app/slideshow/slide_options_dialog.h"
#include "app/slideshow/slide_player.h"
#include "app/text/language.h"

#include "controls/edits/num_edit.h"

#include <QAction>
#include <QCheckBox>
#include <QToolButton>
#include <QApplication>
#include <QDir>
#include <QSet>
#include <QImage>
#include <QKeyEvent>
#include <QPushButton>
#include <QTimer>

namespace {

const QString kNoFiles = QStringLiteral("Keine Dateien zum Abspielen vorhanden!\n"
                                        "Bitte wählen Sie diese im Menü unter Datei/Diashow/Optionen aus.");

// Once the next modal options dialog is up, hands it to `answer`.
void whenOptionsOpen(std::function<void(Tslideform&)> answer)
{
    QTimer::singleShot(0, [answer] {
        if (auto* d = qobject_cast<Tslideform*>(QApplication::activeModalWidget()))
            answer(*d);
    });
}

// Ends the running show with Esc, once it is up.
void escapeShow()
{
    QTimer::singleShot(0, [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* p = qobject_cast<Tdoslide*>(w); p && p->Running()) {
                QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                QApplication::sendEvent(p, &esc);
            }
    });
}

class SlideCommands : public MainWindowTest {};

}  // namespace

TEST_F(SlideCommands, PlayAndOptionsReachThePlayer)
{
    Tform1& f = make();
    f.Item(QStringLiteral("Abspielen1"))->trigger();  // code 35 with no slide.sld
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], kNoFiles);

    whenOptionsOpen([](Tslideform& d) {
        d.secondsEdit->SetValue(7);
        d.playButton->click();
    });
    f.Control<QToolButton>(QStringLiteral("SpeedButton9"))->click();
    EXPECT_EQ(f.options.slideshow.seconds, 7);
    ASSERT_EQ(messages.size(), 2u);  // stored, and the show ran: its list is empty
    EXPECT_EQ(messages[1], kNoFiles);
}

TEST_F(SlideCommands, ACatalogShowPlaysTheCatalogsFiles)
{
    Tform1& f = make();
    QStringList paths;
    for (const char* name : {"b.bmp", "a.bmp"}) {
        QImage im(16, 16, QImage::Format_RGB888);
        im.fill(Qt::red);
        paths.append(home_ + QLatin1Char('/') + QLatin1String(name));
        ASSERT_TRUE(im.save(paths.last(), "BMP"));
    }
    Tkataform* k = CreateCatalogWindow(f);
    for (const QString& p : paths)
        ASSERT_TRUE(k->addEntryFromFile(p));
    f.ActivateChild(k);
    QCoreApplication::processEvents();
    f.UpdateAvailability(false);
    EXPECT_TRUE(k->slideShowButton->isEnabled());
    f.options.slideshow.source = 1;
    f.options.slideshow.listsort = 0;

    QStringList shown;
    whenOptionsOpen([&](Tslideform& d) {
        shown = d.ListItems();
        escapeShow();
        d.playButton->click();
    });
    k->slideShowButton->click();
    EXPECT_EQ(shown, paths);  // in catalog order
    EXPECT_EQ(ReadSlideList(SlideListFileName()), paths);
    EXPECT_EQ(f.options.slideshow.source, 0);
    EXPECT_TRUE(messages.empty());
}

// The show walks its folder letting the events run. What they bring meanwhile (a timer,
// another program) neither starts a second show nor takes the program from under the
// walk: a second start is refused in the user's language, a close of the program ends
// the show and closes after it.
TEST_F(SlideCommands, TheDirectoryWalkRefusesASecondShowAndOutlivesTheProgramsClose)
{
    enum Meanwhile { PlayAgain, CloseProgram };
    const struct {
        Meanwhile meanwhile;
        uint8_t language;
        const char* refusal;  // null: none
    } cases[] = {{PlayAgain, langGerman,
                  "Eine Arbeit läuft noch. Bitte warten Sie, bis sie beendet ist, oder brechen Sie sie ab."},
                 {PlayAgain, langEnglish, "Work is still running. Please wait until it has finished, or cancel it."},
                 {CloseProgram, langGerman, nullptr}};
    for (const auto& k : cases) {
        SCOPED_TRACE(int(k.meanwhile));
        Tform1& f = make();
        SetLanguage(k.language);
        messages.clear();
        for (const char* sub : {"", "/eins", "/zwei"}) {
            QDir().mkpath(home_ + QLatin1String("/tree") + QLatin1String(sub));
            QImage im(8, 8, QImage::Format_RGB888);
            im.fill(Qt::blue);
            ASSERT_TRUE(im.save(home_ + QLatin1String("/tree") + QLatin1String(sub) + QLatin1String("/b.bmp"), "BMP"));
        }
        f.options.slideshow.source = 1;
        f.options.slideshow.subdirs = 1;
        f.options.slideshow.directory.Assign(home_ + QLatin1String("/tree"));
        // The first event of the walk acts; from then on every show that comes up ends at
        // once (on a timer of its own: the acting one waits in whatever it started).
        QSet<QWidget*> shows;
        bool acted = false;
        auto visibleShows = [] {
            QList<Tdoslide*> found;
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* p = qobject_cast<Tdoslide*>(w); p && p->isVisible())
                    found << p;
            return found;
        };
        QTimer actor, ender;
        for (QTimer* t : {&actor, &ender})
            t->setInterval(0);
        QObject::connect(&actor, &QTimer::timeout, [&] {
            if (acted || visibleShows().isEmpty())
                return;
            acted = true;
            if (k.meanwhile == PlayAgain)
                f.Item(QStringLiteral("Abspielen1"))->trigger();
            else
                f.close();
        });
        QObject::connect(&ender, &QTimer::timeout, [&] {
            for (Tdoslide* p : visibleShows()) {
                shows.insert(p);
                if (!acted)
                    continue;
                QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                QApplication::sendEvent(p, &esc);
            }
        });
        actor.start();
        ender.start();
        f.Item(QStringLiteral("Abspielen1"))->trigger();
        EXPECT_TRUE(acted);
        EXPECT_EQ(shows.size(), 1);
        if (k.refusal) {
            ASSERT_EQ(messages.size(), 1u);
            EXPECT_EQ(messages[0], QString::fromUtf8(k.refusal));
        } else {
            EXPECT_TRUE(messages.empty());
            EXPECT_TRUE(QTest::qWaitFor([&] { return !f.isVisible(); }, 20000));
        }
        actor.stop();
        ender.stop();
    }
    SetLanguage(langGerman);
}

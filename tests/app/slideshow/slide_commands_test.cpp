// The slide-show commands reaching the player, and catalog shows.
#include "app/catalog/catalog_window.h"
#include "app/app_test_util.h"
#include "app/slideshow/slide_options_dialog.h"
#include "app/slideshow/slide_player.h"

#include "controls/edits/num_edit.h"

#include <QAction>
#include <QCheckBox>
#include <QToolButton>
#include <QApplication>
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

// The slide-show commands of the main window: play, options, and a show of a catalog.
#include "app/commands/command_seams.h"
#include "app/catalog/catalog_window.h"
#include "app/main_window/main_window.h"
#include "app/slideshow/slide_options_dialog.h"
#include "app/slideshow/slide_player.h"
#include "app/slideshow/slide_list.h"
#include "app/text/object_names.h"

#include <QAction>
#include <QToolButton>

void Tform1::playSlideShowClicked() { runcode(cmdSlideShow); }

void Tform1::slideShowOptionsClicked()
{
    if (RunSlideOptions(this, options.slideshow) == Tslideform::ResultPlay)
        runcode(cmdSlideShow);
}

void Tform1::slideShowFromCatalogClicked()
{
    auto* catalog = qobject_cast<Tkataform*>(ActiveMDIChild());
    if (!catalog)
        return;
    QStringList paths;
    for (int i = 0; i < catalog->Count(); ++i)
        paths.append(catalog->Path(i));
    WriteSlideList(SlideListFileName(), paths);
    // The list source, in the stored block and in the dialog's copy, so that the
    // dialog opens on the catalog's list and plays it.
    options.slideshow.source = 0;
    if (RunSlideOptions(this, options.slideshow) == Tslideform::ResultPlay)
        runcode(cmdSlideShow);
}

void Tform1::wireSlideShow()
{
    if (!TCommandSeams::SlideShow)
        TCommandSeams::SlideShow = [](Tform1& form) { RunSlideShow(&form, form.options.slideshow); };
    if (!Tkataform::SlideShowHandler)
        Tkataform::SlideShowHandler = [](Tkataform& k) {
            if (Tform1* main = k.MainWindow()) {
                main->ActivateChild(&k);
                main->slideShowFromCatalogClicked();
            }
        };
    wire(Item(ObjectName::MainWindow::Abspielen1), [this] { playSlideShowClicked(); });
    wire(Item(ObjectName::MainWindow::Optionen1), [this] { slideShowOptionsClicked(); });
    wire(Item(ObjectName::MainWindow::DiashowdirektvomKatalog1), [this] { slideShowFromCatalogClicked(); });
    wireButton(Control<QToolButton>(ObjectName::MainWindow::SpeedButton9), [this] { slideShowOptionsClicked(); });
}

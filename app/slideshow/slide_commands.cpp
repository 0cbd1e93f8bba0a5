// The slide-show commands of the main window: play, options, and a show of a catalog.
#include "app/catalog/catalog_window.h"
#include "app/main_window/main_window.h"
#include "app/slideshow/slide_options_dialog.h"
#include "app/slideshow/slide_list.h"

#include <QAction>
#include <QToolButton>

void Tform1::Abspielen1Click() { runcode(cmdSlideShow); }

void Tform1::Optionen1Click()
{
    if (RunSlideOptions(this, options.slideshow) == Tslideform::ResultPlay)
        runcode(cmdSlideShow);
}

void Tform1::DiashowdirektvomKatalog1Click()
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
    if (!Tkataform::SlideShowHandler)
        Tkataform::SlideShowHandler = [](Tkataform& k) {
            if (Tform1* main = k.MainWindow()) {
                main->ActivateChild(&k);
                main->DiashowdirektvomKatalog1Click();
            }
        };
    wire(Item("Abspielen1"), [this] { Abspielen1Click(); });
    wire(Item("Optionen1"), [this] { Optionen1Click(); });
    wire(Item("DiashowdirektvomKatalog1"), [this] { DiashowdirektvomKatalog1Click(); });
    wireButton(Control<QToolButton>("SpeedButton9"), [this] { Optionen1Click(); });
}

// The slide-show commands: play, options, and a show of a catalog.
#include "app/slideshow/slide_commands.h"
#include "app/services/catalog_view.h"
#include "app/services/main_window_services.h"
#include "app/commands/command_record.h"
#include "app/options/options.h"
#include "app/slideshow/slide_list.h"
#include "app/slideshow/slide_options_dialog.h"

void PlaySlideShow(TMainWindowServices& main) { main.RunCode(cmdSlideShow); }

void RunSlideShowOptions(TMainWindowServices& main)
{
    if (RunSlideOptions(main.Window(), main.Options().slideshow) == Tslideform::ResultPlay)
        main.RunCode(cmdSlideShow);
}

void PlayCatalogSlideShow(TMainWindowServices& main)
{
    TCatalogView* catalog = CatalogViewOf(main.ActiveMDIChild());
    // A catalog still adding files would show a list it is about to change.
    if (!catalog || catalog->RefuseWhileBusy())
        return;
    QStringList paths;
    for (int i = 0; i < catalog->Count(); ++i)
        paths.append(catalog->Path(i));
    WriteSlideList(SlideListFileName(), paths);
    // The list source, in the stored block and in the dialog's copy, so that the
    // dialog opens on the catalog's list and plays it.
    main.Options().slideshow.source = 0;
    RunSlideShowOptions(main);
}

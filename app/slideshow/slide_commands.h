#pragma once
// The slide-show commands: play (the recorded code), the options, and a show of a catalog.
class TMainWindowServices;

void PlaySlideShow(TMainWindowServices& main);
// The options dialog; its Play button plays the show.
void RunSlideShowOptions(TMainWindowServices& main);
// The active catalog's pictures become the slide list; the options dialog opens on it.
void PlayCatalogSlideShow(TMainWindowServices& main);

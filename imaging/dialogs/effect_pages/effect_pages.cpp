// The list of the effects dialog's pages, and the page sets taken from it.
#include "imaging/dialogs/effect_pages/effect_page.h"
#include "imaging/dialogs/effects_preview_dialog.h"

std::unique_ptr<TEffectPage> NewContrastPage();
std::unique_ptr<TEffectPage> NewHSVPage();
std::unique_ptr<TEffectPage> NewHSLPage();
std::unique_ptr<TEffectPage> NewRGBPage();
std::unique_ptr<TEffectPage> NewUserFilterPage();
std::unique_ptr<TEffectPage> NewEqualizationPage();
std::unique_ptr<TEffectPage> NewBumpMapPage();
std::unique_ptr<TEffectPage> NewLensPage();
std::unique_ptr<TEffectPage> NewWavePage();

std::vector<std::unique_ptr<TEffectPage>> NewEffectPages()
{
    std::vector<std::unique_ptr<TEffectPage>> pages;
    for (auto make : {NewContrastPage, NewHSVPage, NewHSLPage, NewRGBPage, NewUserFilterPage, NewEqualizationPage,
                      NewBumpMapPage, NewLensPage, NewWavePage})
        pages.push_back(make());
    return pages;
}

int EffectsSetOf(TEffectGroup group)
{
    int set = 0;
    for (const auto& page : NewEffectPages())
        if (page->Group() == group)
            set |= page->Bit();
    return set;
}

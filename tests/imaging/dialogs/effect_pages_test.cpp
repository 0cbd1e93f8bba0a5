// The effects dialog's pages as one list: the sets the program opens the dialog with,
// the tabs' order and their captions all follow it.
#include "imaging/dialogs/effects_preview_dialog.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <QTabWidget>

TEST(EffectPages, SetsTabsAndCaptionsFollowTheList)
{
    // The colour dialog's and the effects dialog's sets, as the program always passed them.
    EXPECT_EQ(EffectsSetOf(TEffectGroup::Colour), 94);
    EXPECT_EQ(EffectsSetOf(TEffectGroup::Effects), 928);

    TfPreviews form;
    ASSERT_EQ(form.PageControl1->count(), 9);
    // One bit a page, in tab order from bit 2 on.
    for (int i = 0; i < 9; ++i) {
        form.ShowPage(2 << i);
        EXPECT_EQ(form.PageControl1->currentIndex(), i);
        EXPECT_EQ(form.ActivePage(), 2 << i);
    }
    const struct {
        TMsgLanguage language;
        const char* tabs;
    } cases[] = {{msEnglish, "Contrast,HSV,HSL,RGB,User filter,Equalization,Bump map,Lens,Wave"},
                 {msGerman, "Kontrast,HSV,HSL,RGB,Benutzer Filter,Ausgleichen,Bump map,Linse,Welle"}};
    for (const auto& c : cases) {
        form.Translate(c.language);
        QStringList tabs;
        for (int i = 0; i < form.PageControl1->count(); ++i)
            tabs << form.PageControl1->tabText(i);
        EXPECT_EQ(tabs.join(u','), QLatin1String(c.tabs));
    }
}

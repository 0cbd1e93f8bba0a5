// The slide-show options dialog: every field, the play checks and list editing.
#include "app/slideshow/slide_options_dialog.h"
#include "app/text/language.h"
#include "common/test_support.h"
#include "controls/edits/file_edit.h"
#include "platform/core/streams.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/file_dialogs.h"

#include <QCheckBox>
#include <QDir>
#include <QListWidget>
#include <QRadioButton>
#include <gtest/gtest.h>

namespace {

class SlideOptionsDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = TempDir();
        SetMessageDlgHook([this](const MessageDlgCall& c) {
            messages.push_back(c.message);
            return answer;
        });
        dlg = std::make_unique<Tslideform>();
        dlg->SlideListFile = dir + QStringLiteral("/slide.sld");
    }
    void TearDown() override
    {
        dlg.reset();
        SetMessageDlgHook(nullptr);
        TOpenDialog::ExecuteHook = nullptr;
        SetLanguage(langGerman);
    }
    QString dir;
    std::unique_ptr<Tslideform> dlg;
    std::vector<QString> messages;
    int answer = mrOk;
};

tslideshowoptions variant(int k)
{
    tslideshowoptions o = tslideshowoptions::Defaults();
    o.sound = k % 3;
    o.window = (k + 1) % 3;
    o.fixedwidth = 640 + k;
    o.fixedheight = 480 - k;
    o.order = (k + 2) % 3;
    o.scaling = k % 3;
    o.filter = k % 7;
    o.seconds = 5 * k;
    o.listsort = (k + 1) % 3;
    o.source = k % 2;
    o.dirsort = (k + 2) % 3;
    o.fontsize = 8 + k;
    uint8_t* flags[] = {&o.nexttimed, &o.nextonkey, &o.hidemouse, &o.repeat, &o.subdirs, &o.hidetaskbar, &o.showtext};
    for (int i = 0; i < 7; ++i)
        *flags[i] = ((k >> (i % 3)) + i) & 1;
    for (int i = 0; i < 10; ++i)
        o.types[size_t(i)] = ((k + i) % 3) == 0;
    o.soundfile.Assign(QStringLiteral("/töne/%1.wav").arg(k));
    o.directory.Assign(k % 2 ? QStringLiteral("/bilder/ä%1").arg(k) : QString());
    o.lastfolder.Assign(QStringLiteral("/zuletzt/%1/").arg(k));
    return o;
}

}  // namespace

TEST_F(SlideOptionsDialog, EveryFieldRoundTripsThroughTheControls)
{
    for (int k = 0; k < 8; ++k) {
        const tslideshowoptions o = variant(k);
        dlg->slideoptions = o;
        dlg->FormActivate();
        // Start from a different block: every field must come from the controls, but
        // the ".gif" flag and the last folder, which no control edits.
        tslideshowoptions other = variant(k + 1);
        other.types[3] = o.types[3];
        other.lastfolder = o.lastfolder;
        dlg->slideoptions = other;
        ASSERT_TRUE(dlg->ControlsToBlock());
        EXPECT_EQ(dlg->slideoptions, o) << "variant " << k;
        dlg->slideoptions.types[3] = !o.types[3];
        ASSERT_TRUE(dlg->ControlsToBlock());
        EXPECT_EQ(dlg->slideoptions.types[3], !o.types[3]);
    }
    EXPECT_TRUE(messages.empty());
}

TEST_F(SlideOptionsDialog, PlayingNeedsANextImageChoiceAndFittingNames)
{
    dlg->slideoptions = tslideshowoptions::Defaults();
    dlg->FormActivate();
    EXPECT_EQ(dlg->fileList->count(), 0);  // no slide.sld yet
    dlg->SetListItems({QStringLiteral("/b.jpg"), QStringLiteral("/a.jpg")});
    dlg->afterSecondsCheck->setChecked(false);
    dlg->onKeyOrClickCheck->setChecked(false);
    const std::pair<uint8_t, QString> texts[] = {
        {langGerman, QStringLiteral("Bitte wählen Sie das nächste Bild entweder nach x Sekunden, bei Leertaste- / "
                                    "Mausdruck oder bei beiden.")},
        {langEnglish, QStringLiteral("Please chosse either next Image after x seconds, when space / mousepointer "
                                     "pressed or both.")},
    };
    for (const auto& [language, text] : texts) {
        SetLanguage(language);
        messages.clear();
        dlg->playClicked();
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0], text);
        EXPECT_EQ(dlg->Result(), 0);
        EXPECT_FALSE(QFileInfo::exists(dlg->SlideListFile));
    }
    // A sound file name beyond 255 bytes is refused, the block untouched.
    dlg->onKeyOrClickCheck->setChecked(true);
    const QString longName = QStringLiteral("/") + QString(255, QChar(0x00E4));
    dlg->soundFileEdit->setText(longName);
    messages.clear();
    dlg->playClicked();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].contains(longName));
    EXPECT_EQ(dlg->Result(), 0);
    EXPECT_EQ(dlg->slideoptions.soundfile.Text(), QString());

    dlg->soundFileEdit->setText(QStringLiteral("/ton.wav"));
    dlg->playClicked();
    EXPECT_EQ(dlg->Result(), Tslideform::ResultPlay);
    EXPECT_EQ(dlg->slideoptions.nexttimed, 0);
    EXPECT_EQ(dlg->slideoptions.soundfile.Text(), QStringLiteral("/ton.wav"));
    EXPECT_EQ(ReadSlideList(dlg->SlideListFile), (QStringList{"/b.jpg", "/a.jpg"}));
}

TEST_F(SlideOptionsDialog, ListEditingSortingAndListFiles)
{
    WriteSlideList(dlg->SlideListFile, {QStringLiteral("/x/b.jpg"), QStringLiteral("/x/C.jpg")});
    dlg->slideoptions = tslideshowoptions::Defaults();
    dlg->slideoptions.listsort = slsName;
    dlg->FormActivate();
    EXPECT_EQ(dlg->ListItems(), (QStringList{"/x/b.jpg", "/x/C.jpg"}));

    QString shownTitle, shownDir;
    QStringList chosen = {QStringLiteral("/neu/a.jpg"), QStringLiteral("/neu/D.png")};
    QString chosenName;
    TOpenDialog::ExecuteHook = [&](TOpenDialog& d) {
        shownTitle = d.Title;
        shownDir = d.InitialDir;
        d.Files = chosen;
        d.FileName = chosenName.isEmpty() ? chosen.value(0) : chosenName;
        return true;
    };
    dlg->addClicked();  // sorted while "Name" is chosen
    EXPECT_EQ(dlg->ListItems(), (QStringList{"/neu/a.jpg", "/neu/D.png", "/x/b.jpg", "/x/C.jpg"}));
    EXPECT_EQ(shownTitle, QStringLiteral("Hinzufügen"));
    EXPECT_EQ(shownDir, QString());
    EXPECT_EQ(dlg->slideoptions.lastfolder.Text(), QStringLiteral("/neu/"));

    dlg->listUnsortedRadio->click();  // no sorting: the order stays
    chosen = {QStringLiteral("/neu/0.jpg")};
    dlg->addClicked();
    EXPECT_EQ(dlg->ListItems().last(), QStringLiteral("/neu/0.jpg"));

    dlg->fileList->setCurrentRow(0);
    dlg->MoveFocused(-1);  // nothing above the top
    dlg->MoveFocused(1);
    dlg->MoveFocused(1);
    EXPECT_EQ(dlg->ListItems(), (QStringList{"/neu/D.png", "/x/b.jpg", "/neu/a.jpg", "/x/C.jpg", "/neu/0.jpg"}));
    EXPECT_EQ(dlg->fileList->currentRow(), 2);

    // Saving under a name without an extension adds ".sld".
    chosenName = dir + QStringLiteral("/meine Liste");
    dlg->saveListClicked();
    EXPECT_EQ(ReadSlideList(chosenName + QStringLiteral(".sld")), dlg->ListItems());
    EXPECT_EQ(shownDir, QStringLiteral("/neu/"));
    EXPECT_EQ(dlg->slideoptions.lastfolder.Text(), dir + QStringLiteral("/"));

    dlg->listByNameRadio->click();
    dlg->SetListItems({});
    chosenName += QStringLiteral(".sld");
    dlg->loadListClicked();  // read and sorted
    EXPECT_EQ(dlg->ListItems(), (QStringList{"/neu/0.jpg", "/neu/a.jpg", "/neu/D.png", "/x/b.jpg", "/x/C.jpg"}));
}

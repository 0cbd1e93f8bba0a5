// The open dialog driven through its real widgets: preview and information lines,
// zoom box, preview form, selection, filters and confirmation.

#include "dialog_driver.h"
#include "imaging/dialogs/preview_form.h"
#include "imaging/dialogs/save_dialog.h"
#include "imaging/view/image_kit_view.h"
#include "platform/core/exceptions.h"
#include "platform/ui/application.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QSplitter>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace dlgtest;

namespace {

// One folder of generated pictures for every test here.
const QString& picturesDir()
{
    static const QString dir = [] {
        const QString d = TempDir();
        SaveImage(d + QStringLiteral("/photo.jpg"), 640, 480, pf24bit, 72, 72);
        SaveImage(d + QStringLiteral("/chart.bmp"), 1000, 900, pf1bit, 150, 150);
        SaveImage(d + QStringLiteral("/small.png"), 300, 200, pf24bit, 96, 48);
        WriteBytes(d + QStringLiteral("/broken.png"), QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray(300, '\x7f'));
        WriteBytes(d + QStringLiteral("/anim.gif"),
                   QByteArray("GIF89a\x10\x00\x10\x00\x80\x00\x00", 13) + QByteArray(40, '\0'));
        WriteBytes(d + QStringLiteral("/empty.bmp"), QByteArray());
        QDir(d).mkdir(QStringLiteral("sub"));
        return d;
    }();
    return dir;
}

QString pic(const char* name) { return picturesDir() + u'/' + QLatin1String(name); }

QString kb(const char* name) { return QString::number(QFileInfo(pic(name)).size() / 1024); }

struct Lines {
    QString pic1, pic2, pic3, info1, info2;
};

Lines linesOf(const TOpenImageKitDialog& d)
{
    return {d.PicLabel1->text(), d.PicLabel2->text(), d.PicLabel3->text(), d.InfoLabel1->text(), d.InfoLabel2->text()};
}

// Clicks an entry and waits until the preview for it has settled.
bool select(TIKFileDialog& fd, TOpenImageKitDialog& d, int& changes, const QString& name,
            Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    const int before = changes;
    if (!ClickEntry(fd, name, mods))
        return false;
    return QTest::qWaitFor([&] { return changes > before && !d.Busy(); }, kWait);
}

void expectEmptyPreview(const TOpenImageKitDialog& d)
{
    const Lines l = linesOf(d);
    EXPECT_TRUE(l.pic1.isEmpty() && l.pic2.isEmpty() && l.pic3.isEmpty() && l.info1.isEmpty() && l.info2.isEmpty())
        << l.pic1.toStdString() << "|" << l.pic2.toStdString() << "|" << l.info1.toStdString();
    EXPECT_FALSE(d.PreviewButton->isEnabled());
    EXPECT_EQ(d.ImageKitView->Bitmap()->Width(), 1);
    EXPECT_FALSE(d.ProgressBar->isVisible());
}

}  // namespace

TEST(OpenImageKitDialog, ChoosingFilesShowsPictureAndFiveLinesInEitherLanguage)
{
    struct Row {
        const char* file;
        int width, height;
        Lines english;
        QString germanColors;
    };
    const Row rows[] = {
        {"photo.jpg",
         640,
         480,
         {"640 x 480 pixel", "16777216 Colors (24 bit)", "72 x 72 dpi", "JPEG Bitmap (JPG) YCbCr",
          "File: " + kb("photo.jpg") + " Kb   Mem: 900 Kb"},
         "16777216 Farben (24 bit)"},
        // One-bit rows: (1000 + 31) div 32 × 4 = 128 bytes, × 900 = 115200 bytes.
        {"chart.bmp",
         1000,
         900,
         {"1000 x 900 pixel", "2 Colors (1 bit)", "150 x 150 dpi", "Windows Bitmap (BMP) ver.3",
          "File: " + kb("chart.bmp") + " Kb   Mem: 112 Kb"},
         "2 Farben (1 bit)"},
        // 900 bytes a row, 200 rows: 180000 bytes.
        {"small.png",
         300,
         200,
         {"300 x 200 pixel", "16777216 Colors (24 bit)", "96 x 48 dpi", "Portable Network Graphics (PNG)",
          "File: " + kb("small.png") + " Kb   Mem: 175 Kb"},
         "16777216 Farben (24 bit)"},
    };
    for (TMsgLanguage language : {msEnglish, msGerman}) {
        TOpenImageKitDialog d;
        d.MsgLanguage = language;
        d.SetInitialDir(picturesDir());
        int changes = 0;
        d.OnSelectionChange = [&](TObject*) { ++changes; };
        ExecuteWith(d, [&](TIKFileDialog& fd) {
            EXPECT_EQ(d.PreviewCheck->text(), language == msEnglish ? "Preview" : "Vorschau");
            for (const Row& r : rows) {
                SCOPED_TRACE(r.file);
                ASSERT_TRUE(select(fd, d, changes, QLatin1String(r.file)));
                Lines want = r.english;
                if (language == msGerman)
                    want.pic2 = r.germanColors;
                const Lines got = linesOf(d);
                EXPECT_EQ(got.pic1, want.pic1);
                EXPECT_EQ(got.pic2, want.pic2);
                EXPECT_EQ(got.pic3, want.pic3);
                EXPECT_EQ(got.info1, want.info1);
                EXPECT_EQ(got.info2, want.info2);
                EXPECT_EQ(d.ImageKitView->Bitmap()->Width(), r.width);
                EXPECT_EQ(d.ImageKitView->Bitmap()->Height(), r.height);
                EXPECT_TRUE(d.PreviewButton->isEnabled());
                EXPECT_FALSE(d.PlayButton->isEnabled());
                EXPECT_EQ(d.PreviewFileSize(), QFileInfo(pic(r.file)).size());
            }
        });
    }
}

TEST(OpenImageKitDialog, UnreadableFilesAndFoldersLeaveAnEmptyPreview)
{
    // Each bad entry follows a good file, whose lines must not stay standing.
    const char* const bad[] = {"broken.png", "anim.gif", "empty.bmp", "sub"};
    TOpenImageKitDialog d;
    d.SetInitialDir(picturesDir());
    int changes = 0;
    d.OnSelectionChange = [&](TObject*) { ++changes; };
    ExecuteWith(d, [&](TIKFileDialog& fd) {
        for (const char* name : bad) {
            SCOPED_TRACE(name);
            ASSERT_TRUE(select(fd, d, changes, QStringLiteral("small.png")));
            ASSERT_FALSE(d.PicLabel1->text().isEmpty());
            const int before = changes;
            ASSERT_TRUE(select(fd, d, changes, QLatin1String(name)));
            EXPECT_EQ(changes, before + 1);
            expectEmptyPreview(d);
            EXPECT_TRUE(fd.isVisible());
        }
    });
}

TEST(OpenImageKitDialog, ZoomBoxOffersFitAndTenSizesAndResetsForEachFile)
{
    TOpenImageKitDialog d;
    d.SetInitialDir(picturesDir());
    int changes = 0;
    d.OnSelectionChange = [&](TObject*) { ++changes; };
    ExecuteWith(d, [&](TIKFileDialog& fd) {
        const QStringList texts{"Fit", "25%", "50%", "75%", "100%", "125%", "150%", "175%", "200%", "300%", "400%"};
        const int values[] = {0, 25, 50, 75, 100, 125, 150, 175, 200, 300, 400};
        ASSERT_EQ(d.ZoomCombo->count(), 11);
        for (int i = 0; i < 11; ++i) {
            EXPECT_EQ(d.ZoomCombo->itemText(i), texts[i]);
            EXPECT_EQ(d.ZoomCombo->itemData(i).toInt(), values[i]);
        }
        ASSERT_TRUE(select(fd, d, changes, QStringLiteral("photo.jpg")));
        EXPECT_EQ(d.ZoomCombo->currentIndex(), 0);
        // Fit: the largest whole percentage at which 640 × 480 fits inside the view's border.
        const TImageKitView* v = d.ImageKitView;
        const int inW = v->Width() - 2 * v->BorderWidth(), inH = v->Height() - 2 * v->BorderWidth();
        const int fit = std::min(inW * 100 / 640, inH * 100 / 480);
        EXPECT_EQ(v->Zoom(), fit);
        d.ZoomCombo->setFocus();
        for (int i = 1; i < 11; ++i) {
            QTest::keyClick(d.ZoomCombo, Qt::Key_Down);
            EXPECT_EQ(d.ImageKitView->Zoom(), values[i]) << i;
        }
        ASSERT_TRUE(select(fd, d, changes, QStringLiteral("small.png")));
        EXPECT_EQ(d.ZoomCombo->currentText(), "Fit");
        EXPECT_EQ(d.ImageKitView->Zoom(), std::min(inW * 100 / 300, inH * 100 / 200));
    });
}

TEST(OpenImageKitDialog, UntickedPreviewOpensNothing)
{
    TOpenImageKitDialog d;
    d.SetInitialDir(picturesDir());
    int changes = 0;
    d.OnSelectionChange = [&](TObject*) { ++changes; };
    ExecuteWith(d, [&](TIKFileDialog& fd) {
        ASSERT_TRUE(select(fd, d, changes, QStringLiteral("photo.jpg")));
        QTest::mouseClick(d.PreviewCheck, Qt::LeftButton);
        ASSERT_FALSE(d.PreviewCheck->isChecked());
        expectEmptyPreview(d);
        const int before = changes;
        ASSERT_TRUE(ClickEntry(fd, QStringLiteral("small.png")));
        EXPECT_EQ(changes, before + 1);  // at once: nothing is loaded
        EXPECT_FALSE(d.Busy());
        expectEmptyPreview(d);
        // Ticking it again previews the current file.
        QTest::mouseClick(d.PreviewCheck, Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([&] { return changes > before + 1 && !d.Busy(); }, kWait));
        EXPECT_EQ(d.PicLabel1->text(), "300 x 200 pixel");
    });
}

TEST(OpenImageKitDialog, MultiSelectionFillsFilesInOrder)
{
    TOpenImageKitDialog d;
    d.Options |= ofAllowMultiSelect;
    d.SetInitialDir(picturesDir());
    int changes = 0;
    d.OnSelectionChange = [&](TObject*) { ++changes; };
    const bool ok = ExecuteWith(d, [&](TIKFileDialog& fd) {
        ASSERT_TRUE(select(fd, d, changes, QStringLiteral("small.png")));
        ASSERT_TRUE(select(fd, d, changes, QStringLiteral("photo.jpg"), Qt::ControlModifier));
        ASSERT_TRUE(select(fd, d, changes, QStringLiteral("chart.bmp"), Qt::ControlModifier));
        ClickAccept(fd);
    });
    ASSERT_TRUE(ok);
    EXPECT_EQ(d.Files, QStringList({pic("small.png"), pic("photo.jpg"), pic("chart.bmp")}));
    EXPECT_EQ(d.FileName(), pic("small.png"));
}

TEST(OpenImageKitDialog, FilterIndexRoundTrips)
{
    struct Row {
        int start, chosen;
        const char* startMask;
        const char* chosenMask;
    };
    const Row rows[] = {{1, 6, "*.jpg;*.jpeg;*.gif;*.tif;*.tiff;*.pcx;*.png;*.bmp;*.wmf;*.emf;*.ico;*.cur;*.avi",
                         "*.png"},
                        {6, 2, "*.png", "*.jpg;*.jpeg"},
                        {10, 7, "*.wmf", "*.bmp"},
                        {13, 1, "*.avi",
                         "*.jpg;*.jpeg;*.gif;*.tif;*.tiff;*.pcx;*.png;*.bmp;*.wmf;*.emf;*.ico;*.cur;*.avi"}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.start);
        TOpenImageKitDialog d;
        d.SetInitialDir(picturesDir());
        d.SetFilterIndex(r.start);
        int typeChanges = 0;
        d.OnTypeChange = [&](TObject*) { ++typeChanges; };
        const bool ok = ExecuteWith(d, [&](TIKFileDialog& fd) {
            EXPECT_EQ(d.FilterIndex(), r.start);
            EXPECT_EQ(d.FilterMask(), r.startMask);
            ChooseFilter(fd, r.chosen);
            EXPECT_EQ(d.FilterIndex(), r.chosen);
            EXPECT_EQ(d.FilterMask(), r.chosenMask);
            // Every step of the keyboard through the list is a choice of its own.
            EXPECT_EQ(typeChanges, std::abs(r.chosen - r.start));
            // A picture the new filter shows, or else the first one.
            const char* name = r.chosen == 7 ? "chart.bmp" : r.chosen == 2 ? "photo.jpg" : "small.png";
            ASSERT_TRUE(ClickEntry(fd, QLatin1String(name)));
            ClickAccept(fd);
        });
        EXPECT_TRUE(ok);
        EXPECT_EQ(d.FilterIndex(), r.chosen);
    }
}

TEST(OpenImageKitDialog, ExecuteEmptiesFilesFirstAndCancelLeavesThemEmpty)
{
    TOpenImageKitDialog d;
    d.SetInitialDir(picturesDir());
    ASSERT_TRUE(ExecuteWith(d, [&](TIKFileDialog& fd) {
        ASSERT_TRUE(ClickEntry(fd, QStringLiteral("photo.jpg")));
        ClickAccept(fd);
    }));
    ASSERT_EQ(d.Files, QStringList{pic("photo.jpg")});
    int seen = -1;
    EXPECT_FALSE(ExecuteWith(d, [&](TIKFileDialog& fd) {
        seen = int(d.Files.size());
        fd.reject();
    }));
    EXPECT_EQ(seen, 0);
    EXPECT_TRUE(d.Files.isEmpty());
    EXPECT_EQ(d.FileName(), pic("photo.jpg"));
}

TEST(OpenImageKitDialog, RefusedCloseKeepsTheDialogOpenWithTheNamesInFiles)
{
    TOpenImageKitDialog d;
    d.SetInitialDir(picturesDir());
    bool allow = false;
    QStringList seen;
    int asked = 0;
    d.OnCanClose = [&](TObject*, bool& canClose) {
        ++asked;
        seen = d.Files;
        canClose = allow;
    };
    const bool ok = ExecuteWith(d, [&](TIKFileDialog& fd) {
        ASSERT_TRUE(ClickEntry(fd, QStringLiteral("small.png")));
        ClickAccept(fd);
        EXPECT_EQ(asked, 1);
        EXPECT_TRUE(fd.isVisible());
        EXPECT_TRUE(d.Files.isEmpty());
        allow = true;
        ClickAccept(fd);
    });
    EXPECT_TRUE(ok);
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(seen, QStringList{pic("small.png")});
}

TEST(OpenImageKitDialog, ExceptionsOfHandlersGoToTheApplicationNotIntoTheDialog)
{
    QStringList reported;
    TApplication::OnException = [&](const std::exception& e) { reported << QString::fromUtf8(e.what()); };
    TOpenImageKitDialog d;
    d.SetInitialDir(picturesDir());
    d.OnSelectionChange = [](TObject*) { throw EInvalidGraphic(QStringLiteral("selection")); };
    d.OnTypeChange = [](TObject*) { throw EInvalidGraphic(QStringLiteral("type")); };
    bool canCloseAsked = false;
    d.OnCanClose = [&](TObject*, bool&) {
        canCloseAsked = true;
        throw EInvalidGraphic(QStringLiteral("close"));
    };
    const bool ok = ExecuteWith(d, [&](TIKFileDialog& fd) {
        ASSERT_TRUE(ClickEntry(fd, QStringLiteral("sub")));
        ChooseFilter(fd, 2);
        ASSERT_TRUE(ClickEntry(fd, QStringLiteral("photo.jpg")));
        ASSERT_TRUE(QTest::qWaitFor([&] { return reported.size() >= 3 && !d.Busy(); }, kWait));
        EXPECT_EQ(d.PicLabel1->text(), "640 x 480 pixel");
        ClickAccept(fd);
        // A throwing close query keeps the dialog open.
        EXPECT_TRUE(fd.isVisible());
    });
    TApplication::OnException = nullptr;
    EXPECT_FALSE(ok);
    EXPECT_TRUE(canCloseAsked);
    EXPECT_EQ(reported, QStringList({"selection", "type", "selection", "close"}));
}

TEST(OpenImageKitDialog, PreviewFormShowsACopyAndClosesWithEscape)
{
    TOpenImageKitDialog d;
    d.SetInitialDir(picturesDir());
    int changes = 0;
    d.OnSelectionChange = [&](TObject*) { ++changes; };
    ExecuteWith(d, [&](TIKFileDialog& fd) {
        ASSERT_TRUE(select(fd, d, changes, QStringLiteral("small.png")));
        QString title;
        QSize bitmap;
        bool chessboard = false;
        QTimer::singleShot(0, [&] {
            auto* form = qobject_cast<TPreviewForm*>(QApplication::activeModalWidget());
            if (!form)
                return;
            title = form->windowTitle();
            bitmap = QSize(form->ImageKitView()->Bitmap()->Width(), form->ImageKitView()->Bitmap()->Height());
            chessboard = form->ImageKitView()->BackgroundStyle() == ikbsChessboard;
            QTest::keyClick(form, Qt::Key_Escape);
        });
        QTest::mouseClick(d.PreviewButton, Qt::LeftButton);
        EXPECT_EQ(title, pic("small.png") + ": ");
        EXPECT_EQ(bitmap, QSize(300, 200));
        EXPECT_TRUE(chessboard);
        EXPECT_EQ(QApplication::activeModalWidget(), &fd);
    });
}

TEST(PreviewForm, SizeFollowsTheImageBetweenOneHundredAndTheScreen)
{
    struct Row {
        QSize image, want;
    };
    const QSize screen(1280, 1024);
    const Row rows[] = {{{1, 1}, {100, 100}},         {{100, 100}, {100, 100}},     {{101, 250}, {101, 250}},
                        {{1279, 1023}, {1279, 1023}}, {{1280, 1024}, {1280, 1024}}, {{5000, 80}, {1280, 100}},
                        {{90, 4000}, {100, 1024}}};
    for (const Row& r : rows)
        EXPECT_EQ(TPreviewForm::SizeFor(r.image, screen), r.want) << r.image.width() << "x" << r.image.height();
}

TEST(OpenImageKitDialog, PanelsSitBesideTheFileListNeverOverIt)
{
    // Also saves a picture of each dialog when KANDRIVEL_SCREENSHOT_DIR is set.
    const QString shots = qEnvironmentVariable("KANDRIVEL_SCREENSHOT_DIR");
    struct Row {
        const char* name;
        bool save;
        bool preview;
    };
    for (const Row& r : {Row{"open-preview", false, true}, Row{"open-plain", false, false},
                         Row{"save-preview", true, true}, Row{"save-plain", true, false}}) {
        SCOPED_TRACE(r.name);
        std::unique_ptr<TOpenImageKitDialog> dialog;
        if (r.save) {
            auto save = std::make_unique<TSaveImageKitDialog>();
            save->ExOptions = r.preview ? sdShowPreview | sdShowAdvanced : sdShowAdvanced;
            save->SetFilterIndex(5);
            save->SetFileName(QStringLiteral("small.png"));
            dialog = std::move(save);
        } else {
            dialog = std::make_unique<TOpenImageKitDialog>();
            dialog->ShowPreview = r.preview;
        }
        TOpenImageKitDialog& d = *dialog;
        d.SetInitialDir(picturesDir());
        int changes = 0;
        d.OnSelectionChange = [&](TObject*) { ++changes; };
        ExecuteWith(d, [&](TIKFileDialog& fd) {
            if (r.preview) {
                ASSERT_TRUE(select(fd, d, changes, QLatin1String(r.save ? "small.png" : "photo.jpg")));
            }
            const auto inDialog = [&](QWidget* w) { return QRect(w->mapTo(&fd, QPoint(0, 0)), w->size()); };
            QWidget* splitter = fd.findChild<QSplitter*>(QStringLiteral("splitter"));
            const QRect list = inDialog(splitter);
            const QRect type = inDialog(fd.FileTypeCombo());
            const QRect info = inDialog(d.InfoPanel);
            EXPECT_FALSE(info.intersects(list));
            EXPECT_GE(info.top(), type.bottom());
            EXPECT_TRUE(fd.rect().contains(info));
            for (QWidget* w :
                 {(QWidget*)d.InfoLabel1, (QWidget*)d.InfoLabel2, (QWidget*)d.PreviewCheck, (QWidget*)d.AdvancedButton})
                EXPECT_TRUE(!w->isVisible() || info.contains(inDialog(w))) << w->objectName().toStdString();
            EXPECT_FALSE(inDialog(d.AdvancedButton).intersects(inDialog(d.PreviewCheck)));
            EXPECT_EQ(d.PicturePanel->isVisible(), r.preview);
            if (r.preview) {
                const QRect picture = inDialog(d.PicturePanel);
                EXPECT_GE(picture.left(), list.right());
                EXPECT_GE(picture.left(), type.right());
                EXPECT_FALSE(picture.intersects(info));
                EXPECT_TRUE(fd.rect().contains(picture));
                for (QWidget* w :
                     {(QWidget*)d.ZoomCombo, (QWidget*)d.PreviewButton, (QWidget*)d.PlayButton,
                      (QWidget*)d.ImageKitView, (QWidget*)d.PicLabel1, (QWidget*)d.PicLabel2, (QWidget*)d.PicLabel3})
                    EXPECT_TRUE(picture.contains(inDialog(w))) << w->objectName().toStdString();
                EXPECT_FALSE(inDialog(d.ZoomCombo).intersects(inDialog(d.PreviewButton)));
                EXPECT_FALSE(inDialog(d.ImageKitView).intersects(inDialog(d.PicLabel1)));
            }
            if (!shots.isEmpty())
                fd.grab().save(shots + u'/' + QLatin1String(r.name) + QStringLiteral(".png"));
        });
    }
}

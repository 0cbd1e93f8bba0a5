// The save dialog: extension kept in step with the filter, the bare-name rule, the
// Advanced button and the saved parameter copy.

#include "dialog_driver.h"
#include "imaging/dialogs/save_dialog.h"
#include "imaging/io/io_params.h"
#include "imaging/io/multi_io.h"
#include "imaging/view/multi_view.h"
#include "platform/graphics/bitmap.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace dlgtest;

namespace {

const QString& saveDir()
{
    static const QString dir = [] {
        const QString d = TempDir();
        SaveImage(d + QStringLiteral("/old.png"), 20, 10, pf24bit, 96, 96);
        return d;
    }();
    return dir;
}

// Filters of the save dialog: 1 JPG, 2 GIF, 3 TIF, 4 PCX, 5 PNG, 6 BMP, 7 OS/2 BMP.
constexpr int kJpg = 1, kTif = 3, kPng = 5, kBmp = 6;

// Plugs in a parameter dialog for the test's lifetime.
struct PreviewsHandler {
    explicit PreviewsHandler(TImageKitIO::TPreviewsHandler h) { TImageKitIO::SetPreviewsHandler(std::move(h)); }
    ~PreviewsHandler() { TImageKitIO::SetPreviewsHandler({}); }
};

}  // namespace

TEST(SaveImageKitDialog, TypedNameGetsTheChosenFiltersExtension)
{
    struct Row {
        int filter;
        const char* typed;
        const char* want;
        bool differs;  // from DefaultExt "jpg"
    };
    const Row rows[] = {{kPng, "x", "x.png", true},     {kJpg, "x", "x.jpg", false}, {kTif, "scan", "scan.tif", true},
                        {kPng, "y.bmp", "y.bmp", true}, {kBmp, "a.b", "a.b", true},  {kPng, "z.JPG", "z.JPG", false}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.typed);
        TSaveImageKitDialog d;
        d.DefaultExt = QStringLiteral("jpg");
        d.SetInitialDir(saveDir());
        d.SetFilterIndex(r.filter);
        const bool ok = ExecuteWith(d, [&](TIKFileDialog& fd) {
            TypeName(fd, QLatin1String(r.typed));
            ClickAccept(fd);
        });
        ASSERT_TRUE(ok);
        EXPECT_EQ(d.FileName(), saveDir() + u'/' + QLatin1String(r.want));
        EXPECT_EQ(d.Files, QStringList{d.FileName()});
        EXPECT_EQ((d.Options & ofExtensionDifferent) != 0, r.differs);
    }
}

TEST(SaveImageKitDialog, SwitchingTheFilterReplacesOnlyTheLastExtension)
{
    struct Row {
        const char* typed;
        int from, to;
        const char* want;
    };
    const Row rows[] = {{"bild.jpg", kJpg, kPng, "bild.png"},
                        {"a.b.jpg", kJpg, kPng, "a.b.png"},
                        {"bild", kJpg, kBmp, "bild.bmp"},
                        {"", kJpg, kPng, ".png"},
                        {"v1.2/photo", kJpg, kTif, "v1.2/photo.tif"},
                        {"z.tif", kTif, kJpg, "z.jpg"}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.typed);
        TSaveImageKitDialog d;
        d.SetInitialDir(saveDir());
        d.SetFilterIndex(r.from);
        int typeChanges = 0;
        d.OnTypeChange = [&](TObject*) { ++typeChanges; };
        ExecuteWith(d, [&](TIKFileDialog& fd) {
            TypeName(fd, QLatin1String(r.typed));
            ChooseFilter(fd, r.to);
            EXPECT_EQ(fd.FileNameEdit()->text(), QLatin1String(r.want));
            EXPECT_EQ(typeChanges, std::abs(r.to - r.from));
            EXPECT_EQ(d.FilterIndex(), r.to);
        });
    }
}

TEST(SaveImageKitDialog, CancelledSaveStillAddsTheFilterExtensionToABareName)
{
    struct Row {
        const char* name;
        int filter;
        const char* want;
    };
    const Row rows[] = {{"/tmp/bild", kPng, "/tmp/bild.png"},
                        {"/tmp/bild.jpg", kPng, "/tmp/bild.jpg"},
                        {"/tmp/a.b", kPng, "/tmp/a.b"},
                        {"/tmp/v1.2/bild", kTif, "/tmp/v1.2/bild.tif"},
                        {"", kPng, ""}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        TSaveImageKitDialog d;
        d.SetFileName(QLatin1String(r.name));
        d.SetFilterIndex(r.filter);
        EXPECT_FALSE(ExecuteWith(d, [](TIKFileDialog& fd) { fd.reject(); }));
        EXPECT_EQ(d.FileName(), QLatin1String(r.want));
        EXPECT_TRUE(d.Files.isEmpty());
    }
}

TEST(SaveImageKitDialog, AdvancedOpensThePagesOfTheNamesFormat)
{
    struct Row {
        const char* name;
        const char* defaultExt;
        int pages;
    };
    const Row rows[] = {{"a.jpg", "", 4},    {"a.JPEG", "png", 4}, {"a.tif", "", 8},  {"a.tiff", "", 8},
                        {"a.gif", "", 16},   {"a.bmp", "", 32},    {"a.pcx", "", 64}, {"a.png", "jpg", 128},
                        {"a.xyz", "TIF", 8}, {"a", "tiff", 8},     {"a", "gif", 16},  {"a.xyz", "doc", 0},
                        {"", "", 0},         {"dir.png/a", "", 0}};
    for (const Row& r : rows)
        EXPECT_EQ(TSaveImageKitDialog::AdvancedPageSet(QLatin1String(r.name), QLatin1String(r.defaultExt)), r.pages)
            << r.name << " " << r.defaultExt;

    TImageKitIO io;
    TBitmap bitmap(8, 8);
    io.SetAttachedBitmap(&bitmap);
    std::vector<int> opened;
    PreviewsHandler handler([&](TImageKitIO& target, int pages) {
        EXPECT_EQ(&target, &io);
        opened.push_back(pages);
        return true;
    });
    TSaveImageKitDialog d;
    d.SetAttachedImageKitIO(&io);
    d.SetInitialDir(saveDir());
    ExecuteWith(d, [&](TIKFileDialog& fd) {
        EXPECT_TRUE(d.AdvancedButton->isVisible());
        EXPECT_TRUE(d.AdvancedButton->isEnabled());
        EXPECT_EQ(d.AdvancedButton->text(), "Advanced...");
        TypeName(fd, QStringLiteral("p.pcx"));
        QTest::mouseClick(d.AdvancedButton, Qt::LeftButton);
        TypeName(fd, QStringLiteral("p.png"));
        QTest::mouseClick(d.AdvancedButton, Qt::LeftButton);
    });
    EXPECT_EQ(opened, (std::vector<int>{64, 128}));
}

TEST(SaveImageKitDialog, CancelPutsBackParametersChangedThroughAdvanced)
{
    TImageKitIO io;
    TBitmap bitmap(8, 8);
    io.SetAttachedBitmap(&bitmap);
    io.Params().JpegQuality = 75;
    io.Params().TiffCompression = 4;
    PreviewsHandler handler([](TImageKitIO& target, int) {
        target.Params().JpegQuality = 10;
        target.Params().TiffCompression = 8;
        return true;
    });
    for (bool confirm : {false, true}) {
        SCOPED_TRACE(confirm);
        TSaveImageKitDialog d;
        d.SetAttachedImageKitIO(&io);
        d.SetInitialDir(saveDir());
        d.SetFilterIndex(kJpg);
        const bool ok = ExecuteWith(d, [&](TIKFileDialog& fd) {
            TypeName(fd, QStringLiteral("out"));
            QTest::mouseClick(d.AdvancedButton, Qt::LeftButton);
            EXPECT_EQ(io.Params().JpegQuality, 10);
            if (confirm)
                ClickAccept(fd);
        });
        EXPECT_EQ(ok, confirm);
        EXPECT_EQ(d.SavedParams().JpegQuality, 75);
        EXPECT_EQ(io.Params().JpegQuality, confirm ? 10 : 75);
        EXPECT_EQ(io.Params().TiffCompression, confirm ? 8 : 4);
        io.Params().JpegQuality = 75;
        io.Params().TiffCompression = 4;
    }
}

TEST(SaveImageKitDialog, WorksWithoutAttachedComponent)
{
    TImageKitIO io;
    TBitmap bitmap(8, 8);
    io.SetAttachedBitmap(&bitmap);
    QObject stranger;
    struct Row {
        bool attach;
        bool handler;
    };
    for (const Row r : {Row{false, false}, Row{false, true}, Row{true, true}}) {
        SCOPED_TRACE(r.attach * 2 + r.handler);
        std::unique_ptr<PreviewsHandler> h;
        if (r.handler)
            h = std::make_unique<PreviewsHandler>([](TImageKitIO&, int) { return true; });
        TSaveImageKitDialog d;
        d.SetAttachedImageKitIO(&stranger);  // not an input/output component: refused
        EXPECT_EQ(d.AttachedImageKitIO(), nullptr);
        if (r.attach) {
            d.SetAttachedImageKitIO(&io);
            d.SetAttachedImageKitIO(&stranger);
            d.SetAttachedImageKitIO(nullptr);
            EXPECT_EQ(d.AttachedImageKitIO(), &io);
        }
        d.SetInitialDir(saveDir());
        const bool ok = ExecuteWith(d, [&](TIKFileDialog& fd) {
            EXPECT_EQ(d.AdvancedButton->isEnabled(), r.attach);
            d.AdvancedClick();
            TypeName(fd, QStringLiteral("plain"));
            ClickAccept(fd);
        });
        EXPECT_TRUE(ok);
        EXPECT_EQ(d.FileName(), saveDir() + QStringLiteral("/plain.jpg"));
    }
}

TEST(SaveImageKitDialog, ExtendedOptionsDecidePanelsAndCaptions)
{
    struct Row {
        TIKSaveDlgOpt options;
        TMsgLanguage language;
        const char* advanced;
        const char* preview;
    };
    const Row rows[] = {{sdShowPreview | sdShowAdvanced, msEnglish, "Advanced...", "Preview"},
                        {sdShowPreview | sdShowAdvanced, msGerman, "Fortgeschritten...", "Vorschau"},
                        {sdShowAdvanced, msGerman, "Fortgeschritten...", "Vorschau"},
                        {0, msEnglish, "Advanced...", "Preview"}};
    for (const Row& r : rows) {
        SCOPED_TRACE(int(r.options) * 10 + r.language);
        TSaveImageKitDialog d;
        d.ExOptions = r.options;
        d.MsgLanguage = r.language;
        d.SetInitialDir(saveDir());
        int changes = 0;
        d.OnSelectionChange = [&](TObject*) { ++changes; };
        ExecuteWith(d, [&](TIKFileDialog& fd) {
            const bool preview = r.options & sdShowPreview;
            EXPECT_EQ(d.AdvancedButton->isVisible(), bool(r.options & sdShowAdvanced));
            EXPECT_EQ(d.PreviewCheck->isVisible(), preview);
            EXPECT_EQ(d.PicturePanel->isVisible(), preview);
            EXPECT_TRUE(d.InfoPanel->isVisible());
            EXPECT_EQ(d.AdvancedButton->text(), QString::fromUtf8(r.advanced));
            EXPECT_EQ(d.PreviewCheck->text(), QString::fromUtf8(r.preview));
            // Without the picture panel an existing file shows no preview either.
            ChooseFilter(fd, kPng);
            const int before = changes;
            ASSERT_TRUE(ClickEntry(fd, QStringLiteral("old.png")));
            ASSERT_TRUE(QTest::qWaitFor([&] { return changes > before && !d.Busy(); }, kWait));
            EXPECT_EQ(d.PicLabel1->text(), preview ? "20 x 10 pixel" : "");
        });
    }
}

TEST(SaveImageKitDialog, MultiImageComponentEditsItsFirstImage)
{
    TImageKitMView view;
    TImageKitMIO mio;
    mio.SetAttachedMView(&view);
    TSaveImageKitDialog d;
    d.SetAttachedImageKitIO(&mio);
    EXPECT_EQ(d.AttachedImageKitIO(), &mio);
    // No image: nothing to save, and the dialog never shows.
    int shown = 0;
    d.OnShow = [&](TObject*) { ++shown; };
    EXPECT_FALSE(d.Execute());
    EXPECT_EQ(shown, 0);

    TBitmap frame(6, 4);
    for (int i = 0; i < 2; ++i) {
        view.InsertImage(i);
        view.SetImage(i, &frame);
    }
    ASSERT_EQ(mio.ImageCount(), 2);
    view.SetSelectedImage(0);
    mio.Params(0)->JpegQuality = 75;
    mio.Params(1)->JpegQuality = 60;
    std::vector<int> opened;
    PreviewsHandler handler([&](TImageKitIO& target, int pages) {
        opened.push_back(pages);
        target.Params().JpegQuality = 10;
        return true;
    });
    for (bool confirm : {false, true}) {
        SCOPED_TRACE(confirm);
        d.SetInitialDir(saveDir());
        const bool ok = ExecuteWith(d, [&](TIKFileDialog& fd) {
            EXPECT_TRUE(d.AdvancedButton->isEnabled());
            TypeName(fd, QStringLiteral("frames.jpg"));
            QTest::mouseClick(d.AdvancedButton, Qt::LeftButton);
            EXPECT_EQ(mio.Params(0)->JpegQuality, 10);
            if (confirm)
                ClickAccept(fd);
        });
        EXPECT_EQ(ok, confirm);
        EXPECT_EQ(mio.Params(0)->JpegQuality, confirm ? 10 : 75);
        EXPECT_EQ(mio.Params(1)->JpegQuality, 60);
    }
    EXPECT_EQ(opened, (std::vector<int>{4, 4}));
}

// The format parameter dialog driven through its controls, checked against the real
// writers and readers.
#include "imaging/dialogs/io_previews_dialog.h"
#include "imaging/io/image_kit_io.h"
#include "imaging/kit/image_kit.h"
#include "platform/ui/application.h"
#include "../proc/proc_test_util.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

using namespace proctest;

namespace {

// A picture with flat areas and edges, so that lossy and palette formats show.
TBitmap Picture()
{
    TBitmap bm = Pattern(48, 36, 5);
    for (int y = 0; y < 36; ++y)
        for (int x = 0; x < 20; ++x)
            Set(bm, x, y, y < 18 ? Px{200, 40, 40} : Px{20, 180, 90});
    return bm;
}

// Smooth shades, where JPEG's quality decides the losses.
TBitmap Shades()
{
    TBitmap bm(64, 48, pf24bit);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            Set(bm, x, y, {x * 4, y * 5, 128 + (x - y)});
    return bm;
}

// Four flat colours: every depth of every page keeps them.
TBitmap FewColours()
{
    TBitmap bm = Filled(32, 24, {0, 0, 0});
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 32; ++x)
            Set(bm, x, y,
                x < 16 ? (y < 12 ? Px{0, 0, 0} : Px{255, 255, 255}) : (y < 12 ? Px{200, 40, 40} : Px{20, 180, 90}));
    return bm;
}

// 200 greys.
TBitmap Greys()
{
    TBitmap bm(40, 5, pf24bit);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 40; ++x)
            Set(bm, x, y, {y * 40 + x, y * 40 + x, y * 40 + x});
    return bm;
}

// Black and white, once as a 1-bit bitmap and once in 24 bits.
TBitmap BlackAndWhite(bool oneBit)
{
    TBitmap bm = Filled(30, 20, {255, 255, 255});
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; x += 3)
            Set(bm, x, y, {0, 0, 0});
    if (oneBit)
        bm.SetPixelFormat(pf1bit);
    return bm;
}

struct Opened {
    TIOParamsVals record;
    TfIOPreviews form;
    bool offered = false;
    explicit Opened(int pages, const std::function<void(TIOParamsVals&)>& setup = {}, bool lock = true,
                    const TBitmap& source = Picture())
    {
        if (setup)
            setup(record);
        form.SetLockPreviewDefault(lock);
        form.SetParams(&record);
        form.ImageKit1->GetBitmap()->Assign(source);
        form.ImageKit1->Update();
        offered = form.SetPages(pages);
        form.resize(760, 520);
        form.show();
        QApplication::processEvents();
    }
    const TBitmap& result() { return *form.ImageKit2->Bitmap(); }
    int64_t shownSize()
    {
        const int page = form.ActivePage();
        const int i = page == iopgJPEG ? 0
                    : page == iopgTIFF ? 1
                    : page == iopgGIF  ? 2
                    : page == iopgBMP  ? 3
                    : page == iopgPCX  ? 4
                                       : 5;
        QString t = form.CompressedSizes[size_t(i)]->text();
        bool ok = false;
        const int64_t n = t.remove(QStringLiteral(" bytes")).toLongLong(&ok);
        return ok ? n : -1;
    }
    void ok() { form.Button1->click(); }
};

int64_t Difference(const TBitmap& a, const TBitmap& b)
{
    int64_t d = 0;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x) {
            const Px p = Get(a, x, y), q = Get(b, x, y);
            d += std::abs(p.r - q.r) + std::abs(p.g - q.g) + std::abs(p.b - q.b);
        }
    return d;
}

TBitmap As24(const TBitmap& b)
{
    TBitmap c(b);
    if (c.PixelFormat() != pf24bit)
        c.SetPixelFormat(pf24bit);
    return c;
}

}  // namespace

TEST(IOPreviewsSettings, ColourChoicesAndDepthsMapBothWays)
{
    struct Case {
        int page;
        int choices;
    };
    for (const Case c : {Case{iopgTIFF, 5}, Case{iopgBMP, 6}, Case{iopgPCX, 4}, Case{iopgPNG, 3}})
        for (int k = 0; k < c.choices; ++k) {
            const TDepth d = DepthOfChoice(c.page, k);
            // "16M (32bit)" shows as "16M": both are three 8-bit samples.
            const int back = c.page == iopgBMP && k == 5 ? 4 : k;
            EXPECT_EQ(ChoiceOfDepth(c.page, d.bits, d.samples, -1), back) << c.page << " " << k;
        }
    struct Off {
        int page, bits, samples, previous, want;
    };
    const Off off[] = {{iopgTIFF, 8, 4, 2, 2}, {iopgTIFF, 2, 1, 1, 1}, {iopgBMP, 16, 1, 3, 3}, {iopgPCX, 5, 3, 0, 3},
                       {iopgPCX, 2, 1, 1, 1},  {iopgPNG, 4, 1, 0, 1},  {iopgPNG, 16, 3, 0, 2}};
    for (const Off& o : off)
        EXPECT_EQ(ChoiceOfDepth(o.page, o.bits, o.samples, o.previous), o.want) << o.page << " " << o.bits;
}

// The TIFF page starts black and white only for an image that is.
TEST(IOPreviewsSettings, TiffStartsBlackAndWhiteOnlyForBlackAndWhiteImages)
{
    const struct {
        const char* what;
        TBitmap bitmap;
        int bits, samples;
        bool want;
    } cases[] = {
        {"1-bit bitmap, colour record", BlackAndWhite(true), 8, 3, true},
        {"black and white, B/W record", BlackAndWhite(false), 1, 1, true},
        {"black and white, colour record", BlackAndWhite(false), 8, 3, false},
        {"photo, B/W record", Picture(), 1, 1, false},
        {"four colours, B/W record", FewColours(), 1, 1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TIOParamsVals r;
        r.BitsPerSample = c.bits;
        r.SamplesPerPixel = c.samples;
        EXPECT_EQ(TiffStartsBlackAndWhite(r, c.bitmap), c.want);
    }
}

TEST(IOPreviewsSettings, StoredNumbersAreClampedToTheControls)
{
    struct Case {
        int quality, smoothing, space, dct, level;
        int wantQ, wantS, wantSpace, wantDct, wantLevel;
    };
    const Case cases[] = {{250, 1000, 9, 7, 40, 100, 100, 4, 2, 9},
                          {-5, -3, 0, 0, -1, 0, 0, 0, 0, 0},
                          {75, 30, 3, 1, 6, 75, 30, 3, 1, 6}};
    for (const Case& c : cases) {
        TIOParamsVals r;
        r.JpegQuality = c.quality;
        r.JpegSmoothing = c.smoothing;
        r.JpegColorSpace = uint8_t(c.space);
        r.JpegDctMethod = uint8_t(c.dct);
        r.PngCompression = c.level;
        TIOWorkingCopy w;
        w.Load(r);
        EXPECT_EQ(w.JpegQuality, c.wantQ);
        EXPECT_EQ(w.JpegSmoothing, c.wantS);
        EXPECT_EQ(w.JpegColorSpace, c.wantSpace);
        EXPECT_EQ(w.JpegDctMethod, c.wantDct);
        EXPECT_EQ(w.PngCompression, c.wantLevel);
    }
    // A record with out-of-range numbers shows clamped values in the dialog, too.
    Opened o(iopgJPEG, [](TIOParamsVals& r) {
        r.JpegQuality = 400;
        r.JpegSmoothing = 900;
    });
    EXPECT_EQ(o.form.Edit22->text(), "100");
    EXPECT_EQ(o.form.TrackBar13->value(), 100);
    EXPECT_EQ(o.form.Edit23->value(), 100);
}

TEST(IOPreviewsDialog, PageSetsShowExactlyThosePages)
{
    struct Case {
        int set;
        uint8_t type;
        bool offered;
        int visible;
        int active;
    };
    const Case cases[] = {
        {1, ioUnknown, true, iopgJPEG | iopgTIFF | iopgGIF | iopgBMP | iopgPCX | iopgPNG, iopgJPEG},
        {4, ioUnknown, true, iopgJPEG, iopgJPEG},
        {8, ioUnknown, true, iopgTIFF, iopgTIFF},
        {32, ioUnknown, true, iopgBMP, iopgBMP},
        {64, ioUnknown, true, iopgPCX, iopgPCX},
        {128, ioUnknown, true, iopgPNG, iopgPNG},
        {4 | 128, ioUnknown, true, iopgJPEG | iopgPNG, iopgJPEG},
        {32 | 64 | 8, ioUnknown, true, iopgTIFF | iopgBMP | iopgPCX, iopgTIFF},
        {2, ioTIFF, true, iopgTIFF, iopgTIFF},
        {2 | 32, ioPNG, true, iopgBMP | iopgPNG, iopgBMP},
        {2, ioICO, false, 0, 0},
        {2, ioEMF, false, 0, 0},
        {0, ioJPEG, true, 0, 0},
    };
    const int bits[] = {iopgJPEG, iopgTIFF, iopgGIF, iopgBMP, iopgPCX, iopgPNG};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.set * 100 + c.type);
        Opened o(c.set, [&](TIOParamsVals& r) {
            r.FileType = c.type;
            r.JpegQuality = 33;
        });
        EXPECT_EQ(o.offered, c.offered);
        int visible = 0;
        for (int i = 0; i < 6; ++i)
            if (o.form.PageControl1->isTabVisible(i))
                visible |= bits[i];
        EXPECT_EQ(visible, c.visible);
        EXPECT_EQ(o.form.ActivePage(), c.active);
        // Without a page OK writes nothing.
        o.ok();
        EXPECT_EQ(o.record.JpegQuality, 33);
    }
}

// Each page shows the record's fields, and what its controls are set to comes back on OK.
TEST(IOPreviewsDialog, ControlsMapToTheFieldsBothWays)
{
    struct Case {
        int page;
        std::function<void(TIOParamsVals&)> setup;
        std::function<void(TfIOPreviews&)> expectShown;
        std::function<void(TfIOPreviews&)> edit;
        std::function<void(const TIOParamsVals&)> expectWritten;
    };
    const Case cases[] = {
        {iopgJPEG,
         [](TIOParamsVals& r) {
             r.JpegQuality = 80;
             r.JpegColorSpace = 1;
             r.JpegDctMethod = 2;
             r.JpegSmoothing = 7;
             r.JpegProgressive = 1;
         },
         [](TfIOPreviews& f) {
             EXPECT_EQ(f.Edit22->text(), "80");
             EXPECT_EQ(f.TrackBar13->value(), 80);
             EXPECT_EQ(f.ComboBox13->currentIndex(), 1);
             EXPECT_EQ(f.ComboBox1->currentIndex(), 2);
             EXPECT_EQ(f.Edit23->value(), 7);
             EXPECT_TRUE(f.CheckBox3->isChecked());
             EXPECT_FALSE(f.CheckBox2->isChecked());
         },
         [](TfIOPreviews& f) {
             f.Edit22->setText("abc");
             f.ComboBox13->setCurrentIndex(0);
             f.ComboBox1->setCurrentIndex(1);
             f.Edit23->setValue(12);
             f.CheckBox2->setChecked(true);
             f.CheckBox3->setChecked(false);
             EXPECT_EQ(f.TrackBar13->value(), 50);
         },
         [](const TIOParamsVals& r) {
             EXPECT_EQ(r.JpegQuality, 50);
             EXPECT_EQ(r.JpegColorSpace, 0);
             EXPECT_EQ(r.JpegDctMethod, 1);
             EXPECT_EQ(r.JpegSmoothing, 12);
             EXPECT_EQ(r.JpegOptimalHuffman, 1);
             EXPECT_EQ(r.JpegProgressive, 0);
         }},
        {iopgTIFF,
         [](TIOParamsVals& r) {
             r.TiffCompression = 8;
             r.TiffPhotometric = 3;
             r.BitsPerSample = 4;
             r.SamplesPerPixel = 1;
             r.TiffDocumentName = "doc";
             r.TiffPageNumber = 2;
             r.TiffPageCount = 5;
             r.TiffXPos = 3;
             r.TiffImageIndex = 4;
         },
         [](TfIOPreviews& f) {
             EXPECT_EQ(f.ComboBox2->currentIndex(), 8);
             EXPECT_EQ(f.ComboBox3->currentIndex(), 3);
             EXPECT_EQ(f.ComboBox4->currentIndex(), 1);
             EXPECT_EQ(f.Edit4->text(), "doc");
             EXPECT_EQ(f.Edit7->text(), "2");
             EXPECT_EQ(f.Edit8->text(), "5");
             EXPECT_EQ(f.Edit2->text(), "3");
             EXPECT_EQ(f.Edit1->value(), 4);
         },
         [](TfIOPreviews& f) {
             f.ComboBox2->setCurrentIndex(0);
             f.ComboBox3->setCurrentIndex(2);
             f.ComboBox4->setCurrentIndex(2);
             f.Edit5->setText("desc");
             f.Edit6->setText("p1");
             f.Edit7->setText("x");
             f.Edit3->setText("9");
             f.Edit1->setValue(1);
         },
         [](const TIOParamsVals& r) {
             EXPECT_EQ(r.TiffCompression, 0);
             EXPECT_EQ(r.TiffPhotometric, 2);
             EXPECT_EQ(r.BitsPerSample, 8);
             EXPECT_EQ(r.SamplesPerPixel, 1);
             EXPECT_EQ(r.TiffImageDescription, "desc");
             EXPECT_EQ(r.TiffPageName, "p1");
             EXPECT_EQ(r.TiffDocumentName, "doc");
             EXPECT_EQ(r.TiffPageNumber, 0);
             EXPECT_EQ(r.TiffYPos, 9);
             EXPECT_EQ(r.TiffImageIndex, 1);
         }},
        {iopgGIF,
         [](TIOParamsVals& r) {
             r.BitsPerSample = 4;
             r.GifInterlaced = 1;
             r.GifDelayTime = 25;
             r.GifTransparent = 0;
         },
         [](TfIOPreviews& f) {
             EXPECT_EQ(f.ComboBox5->currentIndex(), 3);
             EXPECT_TRUE(f.CheckBox5->isChecked());
             EXPECT_EQ(f.Edit12->text(), "25");
             EXPECT_FALSE(f.Panel3->isEnabled());
         },
         [](TfIOPreviews& f) {
             f.ComboBox5->setCurrentIndex(7);
             f.CheckBox4->setChecked(true);
             EXPECT_TRUE(f.Panel3->isEnabled());
             f.Edit10->setText("4");
             f.Edit11->setText("-");
             f.Edit9->setValue(2);
         },
         [](const TIOParamsVals& r) {
             EXPECT_EQ(r.BitsPerSample, 8);
             EXPECT_EQ(r.SamplesPerPixel, 1);
             EXPECT_EQ(r.GifTransparent, 1);
             EXPECT_EQ(r.GifXPos, 4);
             EXPECT_EQ(r.GifYPos, 0);
             EXPECT_EQ(r.GifImageIndex, 2);
             EXPECT_EQ(r.GifDelayTime, 25);
         }},
        {iopgBMP,
         [](TIOParamsVals& r) {
             r.BmpCompression = 1;
             r.BitsPerSample = 5;
             r.SamplesPerPixel = 3;
         },
         [](TfIOPreviews& f) {
             EXPECT_EQ(f.ComboBox6->currentIndex(), 1);
             EXPECT_EQ(f.ComboBox7->currentIndex(), 3);
         },
         [](TfIOPreviews& f) {
             f.ComboBox6->setCurrentIndex(0);
             f.ComboBox7->setCurrentIndex(5);
         },
         [](const TIOParamsVals& r) {
             EXPECT_EQ(r.BmpCompression, 0);
             EXPECT_EQ(r.BitsPerSample, 8);
             EXPECT_EQ(r.SamplesPerPixel, 3);
         }},
        {iopgPCX,
         [](TIOParamsVals& r) {
             r.PcxCompression = 0;
             r.BitsPerSample = 4;
             r.SamplesPerPixel = 1;
         },
         [](TfIOPreviews& f) {
             EXPECT_EQ(f.ComboBox8->currentIndex(), 0);
             EXPECT_EQ(f.ComboBox9->currentIndex(), 1);
         },
         [](TfIOPreviews& f) {
             f.ComboBox8->setCurrentIndex(1);
             f.ComboBox9->setCurrentIndex(0);
         },
         [](const TIOParamsVals& r) {
             EXPECT_EQ(r.PcxCompression, 1);
             EXPECT_EQ(r.BitsPerSample, 1);
             EXPECT_EQ(r.SamplesPerPixel, 1);
         }},
        {iopgPNG,
         [](TIOParamsVals& r) {
             r.BitsPerSample = 8;
             r.SamplesPerPixel = 1;
             r.PngFilter = 2;
             r.PngCompression = 9;
             r.PngInterlaced = 1;
         },
         [](TfIOPreviews& f) {
             EXPECT_EQ(f.ComboBox10->currentIndex(), 1);
             EXPECT_EQ(f.ComboBox11->currentIndex(), 2);
             EXPECT_EQ(f.ComboBox12->currentIndex(), 9);
             EXPECT_TRUE(f.CheckBox6->isChecked());
         },
         [](TfIOPreviews& f) {
             f.ComboBox10->setCurrentIndex(2);
             f.ComboBox11->setCurrentIndex(1);
             f.ComboBox12->setCurrentIndex(3);
             f.CheckBox6->setChecked(false);
         },
         [](const TIOParamsVals& r) {
             EXPECT_EQ(r.BitsPerSample, 8);
             EXPECT_EQ(r.SamplesPerPixel, 3);
             EXPECT_EQ(r.PngFilter, 1);
             EXPECT_EQ(r.PngCompression, 3);
             EXPECT_EQ(r.PngInterlaced, 0);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.page);
        Opened o(
            c.page,
            [&](TIOParamsVals& r) {
                c.setup(r);
                r.JpegQuality = c.page == iopgJPEG ? r.JpegQuality : 61;
            },
            true, FewColours());
        c.expectShown(o.form);
        c.edit(o.form);
        o.ok();
        c.expectWritten(o.record);
        // Only the active page is written back.
        if (c.page != iopgJPEG) {
            EXPECT_EQ(o.record.JpegQuality, 61);
        }
    }
}

// The size shown is the size of the file that a save with the confirmed parameters
// writes, and the result is that file decoded.
TEST(IOPreviewsDialog, ResultAndSizeAreTheSavedFile)
{
    QTemporaryDir dir;
    struct Case {
        int page;
        const char* ext;
        std::function<void(TfIOPreviews&)> edit;
    };
    const Case cases[] = {
        {iopgJPEG, "jpg", [](TfIOPreviews& f) { f.Edit22->setText("10"); }},
        {iopgJPEG, "jpg",
         [](TfIOPreviews& f) {
             f.TrackBar13->setValue(95);
             f.CheckBox3->setChecked(true);
             f.CheckBox2->setChecked(true);
         }},
        {iopgTIFF, "tif",
         [](TfIOPreviews& f) {
             f.ComboBox3->setCurrentIndex(0);
             f.ComboBox2->setCurrentIndex(4);
             f.Edit4->setText("A long document name");
             f.Edit5->setText("described");
             f.Edit6->setText("one");
             f.Edit7->setText("1");
             f.Edit8->setText("3");
             f.Edit2->setText("2");
         }},
        {iopgTIFF, "tif",
         [](TfIOPreviews& f) {
             f.ComboBox4->setCurrentIndex(1);
             f.ComboBox2->setCurrentIndex(8);
             f.Edit6->setText("sixteen");
         }},
        {iopgTIFF, "tif", [](TfIOPreviews& f) { f.ComboBox4->setCurrentIndex(3); }},
        {iopgTIFF, "tif", [](TfIOPreviews& f) { f.ComboBox3->setCurrentIndex(5); }},
        {iopgBMP, "bmp",
         [](TfIOPreviews& f) {
             f.ComboBox7->setCurrentIndex(2);
             f.ComboBox6->setCurrentIndex(1);
         }},
        {iopgBMP, "bmp", [](TfIOPreviews& f) { f.ComboBox7->setCurrentIndex(3); }},
        {iopgPCX, "pcx", [](TfIOPreviews& f) { f.ComboBox9->setCurrentIndex(1); }},
        {iopgPCX, "pcx",
         [](TfIOPreviews& f) {
             f.ComboBox9->setCurrentIndex(0);
             f.ComboBox8->setCurrentIndex(0);
         }},
        {iopgPNG, "png",
         [](TfIOPreviews& f) {
             f.ComboBox10->setCurrentIndex(1);
             f.CheckBox6->setChecked(true);
         }},
        {iopgPNG, "png",
         [](TfIOPreviews& f) {
             f.ComboBox10->setCurrentIndex(0);
             f.ComboBox12->setCurrentIndex(0);
         }},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(n);
        Opened o(c.page, [](TIOParamsVals& r) {
            r.BitsPerSample = 8;
            r.SamplesPerPixel = 3;
        });
        c.edit(o.form);
        const int64_t shown = o.shownSize();
        const TBitmap result = o.result();
        o.ok();

        TBitmap source = Picture();
        TImageKitIO io;
        io.SetAttachedBitmap(&source);
        io.AssignParams(o.record);
        const QString file = dir.filePath(QStringLiteral("s%1.").arg(n++) + QLatin1String(c.ext));
        io.SaveToFile(file);
        EXPECT_EQ(QFileInfo(file).size(), shown);
        TBitmap loaded;
        TImageKitIO reader;
        reader.SetAttachedBitmap(&loaded);
        reader.LoadFromFile(file);
        EXPECT_TRUE(SamePixels(As24(loaded), As24(result)));
    }
}

TEST(IOPreviewsDialog, LosslessFormatsKeepTheSourceAndJpegQualityShows)
{
    struct Case {
        int page;
        std::function<void(TfIOPreviews&)> edit;
    };
    const Case lossless[] = {{iopgPNG, [](TfIOPreviews& f) { f.ComboBox10->setCurrentIndex(2); }},
                             {iopgBMP, [](TfIOPreviews& f) { f.ComboBox7->setCurrentIndex(4); }},
                             {iopgPCX, [](TfIOPreviews& f) { f.ComboBox9->setCurrentIndex(3); }},
                             {iopgTIFF, [](TfIOPreviews& f) { f.ComboBox2->setCurrentIndex(8); }}};
    for (const Case& c : lossless) {
        Opened o(c.page, [](TIOParamsVals& r) {
            r.BitsPerSample = 1;
            r.SamplesPerPixel = 1;
            r.TiffPhotometric = 2;
        });
        c.edit(o.form);
        EXPECT_TRUE(SamePixels(o.result(), Picture())) << c.page;
    }
    Opened o(iopgJPEG, {}, true, Shades());
    int64_t errors[2];
    int64_t sizes[2];
    for (int k = 0; k < 2; ++k) {
        o.form.Edit22->setText(k ? QStringLiteral("95") : QStringLiteral("10"));
        errors[k] = Difference(o.result(), Shades());
        sizes[k] = o.shownSize();
    }
    EXPECT_GT(errors[0], 2 * errors[1]);
    EXPECT_LT(sizes[0], sizes[1]);
}

TEST(IOPreviewsDialog, LockedPreviewFollowsAtOnceUnlockedWaitsForTheButton)
{
    Opened o(
        iopgJPEG, [](TIOParamsVals& r) { r.JpegQuality = 90; }, false);
    EXPECT_TRUE(o.form.Button3->isEnabled());
    EXPECT_FALSE(o.form.SpeedButton1->isChecked());
    const TBitmap first = o.result();
    const int64_t firstSize = o.shownSize();
    o.form.Edit22->setText(QStringLiteral("5"));
    EXPECT_TRUE(SamePixels(o.result(), first));
    // The size of quality 90 is no size of quality 5: unknown until Preview.
    EXPECT_EQ(o.form.CompressedSizes[0]->text(), QStringLiteral("---"));
    o.form.Button3->click();
    const TBitmap coarse = o.result();
    EXPECT_FALSE(SamePixels(coarse, first));
    EXPECT_LT(o.shownSize(), firstSize);
    // Pressing the lock previews at once and disables the button; then every change shows.
    o.form.Edit22->setText(QStringLiteral("90"));
    o.form.SpeedButton1->click();
    EXPECT_FALSE(o.form.Button3->isEnabled());
    EXPECT_TRUE(SamePixels(o.result(), first));
    o.form.Edit22->setText(QStringLiteral("5"));
    EXPECT_TRUE(SamePixels(o.result(), coarse));
}

// "<<" makes the coded image the source: each press adds the format's losses once more.
TEST(IOPreviewsDialog, FoldBackAccumulatesTheFormatsLosses)
{
    Opened o(iopgPCX, [](TIOParamsVals& r) {
        r.BitsPerSample = 4;
        r.SamplesPerPixel = 1;
    });
    // The page opens at the picture's own colours; 16 is the user's choice.
    o.form.ComboBox9->setCurrentIndex(1);
    const TBitmap coded = o.result();
    ASSERT_FALSE(SamePixels(coded, Picture()));
    o.form.Button6->click();
    EXPECT_TRUE(SamePixels(As24(*o.form.ImageKit1->Bitmap()), As24(coded)));
    Opened j(iopgJPEG, [](TIOParamsVals& r) { r.JpegQuality = 15; });
    int64_t last = 0;
    for (int k = 0; k < 3; ++k) {
        const TBitmap before = *j.form.ImageKit1->Bitmap();
        const TBitmap result = j.result();
        j.form.Button6->click();
        EXPECT_TRUE(SamePixels(*j.form.ImageKit1->Bitmap(), result)) << k;
        const int64_t drift = Difference(*j.form.ImageKit1->Bitmap(), Picture());
        EXPECT_GT(drift, last) << k;
        last = drift;
        EXPECT_FALSE(SamePixels(*j.form.ImageKit1->Bitmap(), before)) << k;
    }
}

TEST(IOPreviewsDialog, TiffColoursFollowThePhotometric)
{
    struct Case {
        int photometric;
        int startChoice;
        int wantChoice;
        bool enabled;
        int bits, samples;
    };
    const Case cases[] = {{5, 2, 4, false, 8, 4}, {6, 1, 4, false, 8, 3}, {0, 4, 0, false, 1, 1},
                          {1, 2, 0, false, 1, 1}, {2, 0, 4, true, 8, 3},  {3, 1, 1, true, 4, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.photometric);
        Opened o(iopgTIFF, [](TIOParamsVals& r) {
            r.TiffPhotometric = 4;
            r.BitsPerSample = 8;
            r.SamplesPerPixel = 3;
        });
        o.form.ComboBox4->setCurrentIndex(c.startChoice);
        o.form.ComboBox3->setCurrentIndex(c.photometric);
        EXPECT_EQ(o.form.ComboBox4->currentIndex(), c.wantChoice);
        EXPECT_EQ(o.form.ComboBox4->isEnabled(), c.enabled);
        o.ok();
        EXPECT_EQ(o.record.BitsPerSample, c.bits);
        EXPECT_EQ(o.record.SamplesPerPixel, c.samples);
    }
}

// A compression the writer cannot give these colours says so, and the size shown is the
// one of what is really stored.
TEST(IOPreviewsDialog, TiffPageSaysWhenACompressionIsStoredUncompressed)
{
    struct Case {
        int compression;
        int choice;
        bool note;
    };
    const Case cases[] = {{4, 4, true}, {4, 0, false}, {1, 4, true},  {5, 4, true},
                          {7, 4, true}, {6, 0, true},  {8, 4, false}, {0, 4, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.compression * 10 + c.choice);
        Opened o(iopgTIFF, [](TIOParamsVals& r) {
            r.TiffPhotometric = 2;
            r.BitsPerSample = 8;
            r.SamplesPerPixel = 3;
        });
        o.form.ComboBox3->setCurrentIndex(c.choice == 0 ? 0 : 2);
        o.form.ComboBox4->setCurrentIndex(c.choice);
        o.form.ComboBox2->setCurrentIndex(0);
        const int64_t uncompressed = o.shownSize();
        o.form.ComboBox2->setCurrentIndex(c.compression);
        EXPECT_EQ(o.form.Notes[1]->text().contains(QStringLiteral("stored uncompressed")), c.note)
            << o.form.Notes[1]->text().toStdString();
        if (c.note) {
            EXPECT_EQ(o.shownSize(), uncompressed);
        }
    }
}

TEST(IOPreviewsDialog, BmpPageSaysWhenRleIsStoredUncompressed)
{
    struct Case {
        int choice;
        bool note;
    };
    const Case cases[] = {{0, true}, {1, false}, {2, false}, {3, true}, {4, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.choice);
        Opened o(iopgBMP);
        o.form.ComboBox7->setCurrentIndex(c.choice);
        o.form.ComboBox6->setCurrentIndex(1);
        EXPECT_EQ(o.form.Notes[3]->text().contains(QStringLiteral("stored uncompressed")), c.note);
        o.form.ComboBox6->setCurrentIndex(0);
        EXPECT_FALSE(o.form.Notes[3]->text().contains(QStringLiteral("stored uncompressed")));
    }
}

// The page opens at the image's own depth, with its photometric, and OK writes what it
// shows: fewer colours than the image has only by the user's own choice.
TEST(IOPreviewsDialog, TiffPageOpensAtTheImagesOwnColours)
{
    struct Case {
        const char* what;
        TBitmap source;
        int photometric, bits, samples;
        int shownColours, shownPhotometric;
        bool enabled;
        int wantBits, wantSamples;
    };
    const Case cases[] = {
        {"grey file", Greys(), 1, 8, 1, 2, 1, true, 8, 1},
        {"fax depth on a photo", Picture(), 0, 1, 1, 4, 0, true, 8, 3},
        {"grey depth on a photo", Picture(), 1, 8, 1, 4, 1, true, 8, 3},
        {"photo", Picture(), 6, 8, 1, 4, 6, false, 8, 3},
        {"1-bit image from a photo", BlackAndWhite(true), 2, 8, 3, 0, 2, true, 1, 1},
        {"fax", BlackAndWhite(true), 0, 1, 1, 0, 0, false, 1, 1},
        {"black and white in 24 bits", BlackAndWhite(false), 2, 1, 1, 0, 2, true, 1, 1},
        {"16 colours", FewColours(), 3, 4, 1, 1, 3, true, 4, 1},
        {"CMYK", Picture(), 5, 8, 4, 4, 5, false, 8, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Opened o(
            iopgTIFF,
            [&](TIOParamsVals& r) {
                r.TiffPhotometric = uint8_t(c.photometric);
                r.BitsPerSample = c.bits;
                r.SamplesPerPixel = c.samples;
            },
            true, c.source);
        EXPECT_EQ(o.form.ComboBox4->currentIndex(), c.shownColours);
        EXPECT_EQ(o.form.ComboBox3->currentIndex(), c.shownPhotometric);
        EXPECT_EQ(o.form.ComboBox4->isEnabled(), c.enabled);
        EXPECT_TRUE(o.form.Notes[1]->text().isEmpty()) << o.form.Notes[1]->text().toStdString();
        // Another setting leaves the colours as they are.
        o.form.ComboBox2->setCurrentIndex(4);
        EXPECT_EQ(o.form.ComboBox4->currentIndex(), c.shownColours);
        o.ok();
        EXPECT_EQ(o.record.BitsPerSample, c.wantBits);
        EXPECT_EQ(o.record.SamplesPerPixel, c.wantSamples);
        EXPECT_EQ(o.record.TiffCompression, 4);
    }
}

// A choice below the image's colours is the user's, and the page says what it costs.
TEST(IOPreviewsDialog, PageSaysWhenTheChosenColoursReduceTheImage)
{
    struct Case {
        const char* what;
        int page;
        TBitmap source;
        std::function<void(TfIOPreviews&)> choose;
        TMsgLanguage language;
        const char* note;  // nullptr: none
    };
    const Case cases[] = {
        {"TIFF B/W", iopgTIFF, Picture(), [](TfIOPreviews& f) { f.ComboBox4->setCurrentIndex(0); }, msEnglish,
         "The image will be reduced to black and white."},
        {"TIFF grey photometric", iopgTIFF, Picture(), [](TfIOPreviews& f) { f.ComboBox3->setCurrentIndex(1); },
         msGerman, "Das Bild wird auf Schwarzweiß reduziert."},
        {"TIFF 65536", iopgTIFF, Picture(), [](TfIOPreviews& f) { f.ComboBox4->setCurrentIndex(3); }, msEnglish,
         nullptr},
        {"TIFF 16 of 4", iopgTIFF, FewColours(), [](TfIOPreviews& f) { f.ComboBox4->setCurrentIndex(1); }, msEnglish,
         nullptr},
        {"BMP 16", iopgBMP, Greys(), [](TfIOPreviews& f) { f.ComboBox7->setCurrentIndex(1); }, msGerman,
         "Das Bild wird auf 16 Farben reduziert."},
        {"BMP 16 of a 1-bit image", iopgBMP, BlackAndWhite(true),
         [](TfIOPreviews& f) { f.ComboBox7->setCurrentIndex(1); }, msEnglish, nullptr},
        {"PCX 256", iopgPCX, Picture(), [](TfIOPreviews& f) { f.ComboBox9->setCurrentIndex(2); }, msEnglish,
         "The image will be reduced to 256 colors."},
        {"PNG 256", iopgPNG, Picture(), [](TfIOPreviews& f) { f.ComboBox10->setCurrentIndex(1); }, msEnglish,
         "The image will be reduced to 256 colors."},
        {"JPEG grey", iopgJPEG, Picture(), [](TfIOPreviews& f) { f.ComboBox13->setCurrentIndex(1); }, msEnglish,
         "The image will be reduced to grey levels."},
        {"JPEG grey of greys", iopgJPEG, Greys(), [](TfIOPreviews& f) { f.ComboBox13->setCurrentIndex(1); }, msEnglish,
         nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TIOParamsVals record;
        TfIOPreviews form;
        form.SetLanguage(c.language);
        form.SetParams(&record);
        form.ImageKit1->GetBitmap()->Assign(c.source);
        form.SetPages(c.page);
        form.show();
        QApplication::processEvents();
        const int i = c.page == iopgJPEG ? 0
                    : c.page == iopgTIFF ? 1
                    : c.page == iopgBMP  ? 3
                    : c.page == iopgPCX  ? 4
                                         : 5;
        EXPECT_TRUE(form.Notes[size_t(i)]->text().isEmpty()) << form.Notes[size_t(i)]->text().toStdString();
        c.choose(form);
        const QString note = form.Notes[size_t(i)]->text().section(u'\n', 0, 0);
        EXPECT_EQ(note, c.note ? QString::fromUtf8(c.note) : QString());
    }
}

TEST(IOPreviewsDialog, ChangingThePageDropsUnconfirmedSettings)
{
    Opened o(iopgJPEG | iopgTIFF, [](TIOParamsVals& r) {
        r.JpegQuality = 70;
        r.TiffCompression = 0;
    });
    o.form.Edit22->setText(QStringLiteral("20"));
    o.form.ShowPage(iopgTIFF);
    o.form.ComboBox2->setCurrentIndex(8);
    o.form.ShowPage(iopgJPEG);
    EXPECT_EQ(o.form.Edit22->text(), "70");
    EXPECT_EQ(o.form.WorkingCopy().TiffCompression, 0);
    // Showing the dialog again (as after a message box over it) keeps page and edits.
    o.form.Edit22->setText(QStringLiteral("30"));
    o.form.hide();
    o.form.show();
    QApplication::processEvents();
    EXPECT_EQ(o.form.ActivePage(), iopgJPEG);
    EXPECT_EQ(o.form.Edit22->text(), "30");
    o.ok();
    EXPECT_EQ(o.record.JpegQuality, 30);
    EXPECT_EQ(o.record.TiffCompression, 0);
}

// The palette picker offers no more entries than the file's palette holds; true colour
// and a missing palette use the colour dialog.
TEST(IOPreviewsDialog, ColourPanelsOfferThePaletteThePreviewWrote)
{
    QTemporaryDir dir;
    struct Case {
        int choice;
        bool palette;
    };
    for (const Case c : {Case{1, true}, Case{2, false}}) {
        SCOPED_TRACE(c.choice);
        Opened o(iopgPNG);
        o.form.ComboBox10->setCurrentIndex(c.choice);
        int offered = -1, dialogs = 0;
        o.form.PickFromPalette = [&](const std::vector<TColor>& entries, TColor& chosen) {
            offered = int(entries.size());
            chosen = entries.back();
            return true;
        };
        o.form.PickColor = [&](TColor& chosen) {
            ++dialogs;
            chosen = RGB(1, 2, 3);
            return true;
        };
        o.form.Panel1->click();
        // The palette of the file the same parameters save.
        TIOParamsVals written;
        written.Assign(o.record);
        o.form.WorkingCopy().WritePage(iopgPNG, written);
        TBitmap source = Picture(), loaded;
        TImageKitIO io, reader;
        io.SetAttachedBitmap(&source);
        io.AssignParams(written);
        const QString file = dir.filePath(QStringLiteral("p%1.png").arg(c.choice));
        io.SaveToFile(file);
        reader.SetAttachedBitmap(&loaded);
        reader.LoadFromFile(file);
        if (c.palette) {
            EXPECT_EQ(offered, std::min(256, reader.Params().ColorMapCount));
            EXPECT_EQ(dialogs, 0);
            EXPECT_EQ(IORGBToColor(o.form.WorkingCopy().PngBackground),
                      IORGBToColor(reader.Params().ColorMap[size_t(offered - 1)]));
        } else {
            EXPECT_EQ(offered, -1);
            EXPECT_EQ(dialogs, 1);
            EXPECT_EQ(IORGBToColor(o.form.WorkingCopy().PngBackground), RGB(1, 2, 3));
        }
        o.ok();
        EXPECT_EQ(o.record.PngBackground, o.form.WorkingCopy().PngBackground);
    }
}

TEST(IOPreviewsDialog, GifWithoutCoderShowsSoInsteadOfFailing)
{
    const TLzwHooks registered = DefaultLzwHooks();
    RegisterLzwCoders({});
    std::vector<QString> errors;
    TApplication::OnException = [&](const std::exception& e) { errors.push_back(QString::fromUtf8(e.what())); };
    Opened o(iopgGIF);
    o.form.ComboBox5->setCurrentIndex(2);
    o.form.Button3->click();
    TApplication::OnException = nullptr;
    EXPECT_TRUE(errors.empty());
    EXPECT_TRUE(o.form.NoCoder());
    EXPECT_EQ(o.form.CompressedSizes[2]->text(), "GIF codec not available");
    EXPECT_TRUE(o.result().Empty());
    o.ok();
    EXPECT_EQ(o.record.BitsPerSample, 3);
    RegisterLzwCoders(registered);
}

TEST(IOPreviewsDialog, CaptionsInBothLanguages)
{
    struct Case {
        TMsgLanguage lang;
        const char* title;
        const char* source;
        const char* cancel;
        const char* huffman;
        const char* box;
        const char* interlaced;
        const char* size;
    };
    const Case cases[] = {{msEnglish, "Parameters Preview", "Source:", "Cancel", "Optimal Huffman", " Advanced ",
                           "Interlaced", "Original size:"},
                          {msGerman, "Parameter Vorschau", "Quelle:", "Abbrechen", "Optimal Huffman",
                           " Fortgeschritten ", "Interlaced", "Originalgröße:"}};
    for (const Case& c : cases) {
        TfIOPreviews f;
        f.SetLanguage(c.lang);
        EXPECT_EQ(f.windowTitle(), QString::fromUtf8(c.title));
        EXPECT_EQ(f.Label1->text(), QString::fromUtf8(c.source));
        EXPECT_EQ(f.Button2->text(), QString::fromUtf8(c.cancel));
        EXPECT_EQ(f.CheckBox2->text(), QString::fromUtf8(c.huffman));
        EXPECT_EQ(f.CheckBox6->text(), QString::fromUtf8(c.interlaced));
        EXPECT_EQ(f.CheckBox5->text(), QString::fromUtf8(c.interlaced) + ":");
        EXPECT_EQ(qobject_cast<QGroupBox*>(f.ComboBox1->parentWidget())->title(), QString::fromUtf8(c.box));
        int found = 0;
        for (const QLabel* l : f.findChildren<QLabel*>())
            found += l->text() == QString::fromUtf8(c.size);
        EXPECT_EQ(found, 6);
    }
}

// The opener: OK hands the edited record back, Cancel leaves it as it was.
TEST(IOPreviewsDialog, OpenerHandsBackOnlyOnOk)
{
    TBitmap bitmap = Picture();
    TImageKitIO io;
    io.SetAttachedBitmap(&bitmap);
    io.PreviewsParams = ioppDefaultLockPreview;
    for (bool confirm : {false, true}) {
        io.Params().JpegQuality = 70;
        // Waits for the modal run to have begun, then answers it.
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&poll, confirm] {
            auto* f = qobject_cast<TfIOPreviews*>(QApplication::activeModalWidget());
            if (!f || !f->isVisible())
                return;
            poll.stop();
            EXPECT_TRUE(f->SpeedButton1->isChecked());
            EXPECT_TRUE(SamePixels(*f->ImageKit1->Bitmap(), Picture()));
            f->Edit22->setText(QStringLiteral("12"));
            (confirm ? f->Button1 : f->Button2)->click();
        });
        poll.start(5);
        EXPECT_EQ(io.DoPreviews(iopgJPEG), confirm);
        EXPECT_EQ(io.Params().JpegQuality, confirm ? 12 : 70);
    }
    // A file type without a page is never shown.
    io.Params().FileType = ioICO;
    EXPECT_FALSE(io.DoPreviews(iopgFileType));
}

// A close pending as the dialog shows ends it; its loop must not start afterwards and wait.
TEST(IOPreviewsDialog, ClosedWhileItOpensTheDialogEnds)
{
    TIOParamsVals record;
    TfIOPreviews form;
    form.SetParams(&record);
    form.ImageKit1->GetBitmap()->Assign(Picture());
    form.ImageKit1->Update();
    form.SetPages(iopgJPEG);
    QMetaObject::invokeMethod(&form, &QWidget::close, Qt::QueuedConnection);
    bool hung = false;  // only a dialog left hanging meets this: it is shown again and ended
    QTimer rescue;
    rescue.setSingleShot(true);
    QObject::connect(&rescue, &QTimer::timeout, &form, [&] {
        hung = true;
        form.show();
        form.reject();
    });
    rescue.start(20000);
    EXPECT_EQ(form.exec(), int(QDialog::Rejected));
    EXPECT_FALSE(hung);
}

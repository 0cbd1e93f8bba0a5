// The catalog window: adding files, progress, the grid layout, captions and updates.
#include "app/catalog/catalog_entry.h"
#include "app/catalog/catalog_file.h"
#include "app/util/decode_ahead.h"
#include "app/util/progress_throttle.h"
#include "app/util/stopwatch.h"
#include "app/catalog/catalog_window.h"
#include "controls/grid/kit_draw_grid.h"
#include "app/app_test_util.h"
#include "platform/core/exceptions.h"
#include "platform/core/parallel_for.h"
#include "platform/core/streams.h"
#include "platform/ui/file_dialogs.h"

#include <QApplication>
#include <QBuffer>
#include <QFileDialog>
#include <QTimer>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPaintEvent>
#include <QProgressBar>
#include <QPushButton>
#include <atomic>
#include <iterator>
#include <map>
#include <vector>
#include <cstdlib>

namespace {

int channelDistance(TColor a, TColor b)
{
    int d = 0;
    for (int s = 0; s < 24; s += 8)
        d = std::max(d, std::abs(int((a >> s) & 255) - int((b >> s) & 255)));
    return d;
}

// Counts the paint events that reach a widget, and what they covered once `ready`.
class TPaintCounter : public QObject {
public:
    TPaintCounter(QWidget* target, std::function<bool()> ready) : ready_(std::move(ready))
    {
        target->installEventFilter(this);
    }
    int count = 0;
    QRegion paintedWhenReady;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            ++count;
            if (ready_())
                paintedWhenReady += static_cast<QPaintEvent*>(event)->region();
        }
        return false;
    }

private:
    std::function<bool()> ready_;
};

class CatalogWindowTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        make();
        form->options.katwidth = 85;
        form->options.katheight = 85;
        form->options.katspacing = 5;
        form->options.katflags = 5;
        dir_ = home_ + QStringLiteral("/pictures/");
        QDir().mkpath(dir_);
    }
    void TearDown() override
    {
        if (form)
            for (QWidget* w : form->MDIChildren())
                if (auto* k = qobject_cast<Tkataform*>(w))
                    k->Modified = false;
        TOpenDialog::ExecuteHook = nullptr;
        MainWindowTest::TearDown();
    }
    Tkataform* catalog(const QString& title = QStringLiteral("!unbenannt1"))
    {
        Tkataform* k = CreateCatalogWindow(*form);
        k->setWindowTitle(title);
        return k;
    }
    QString picture(const QString& name, int w, int h, QColor color)
    {
        QImage img(w, h, QImage::Format_RGB32);
        img.fill(color);
        const QString path = dir_ + name;
        EXPECT_TRUE(img.save(path)) << path.toStdString();
        return path;
    }
    QString dir_;
};

TColor thumbPixel(const Tkataform& k, int index, int x, int y) { return k.Items[size_t(index)].Thumb.PixelColor(x, y); }

}  // namespace

TEST_F(CatalogWindowTest, AddsFilesOfSeveralFormatsAndSkipsMissingOnes)
{
    Tkataform* k = catalog();
    const struct {
        const char* name;
        int w, h;
        int tolerance;
    } files[] = {{"wide.bmp", 200, 100, 0},
                 {"tall.png", 50, 100, 0},
                 {"photo.jpg", 120, 120, 16},
                 // decoded reduced: the entry keeps the file's size, the thumbnail its shape
                 {"large.jpg", 1601, 803, 16},
                 {"high.jpg", 413, 1203, 16},
                 {"strip.jpg", 1600, 150, 16}};
    QStringList paths;
    for (const auto& f : files)
        paths << picture(QLatin1String(f.name), f.w, f.h, Qt::red);
    paths.insert(1, dir_ + QStringLiteral("absent.png"));
    k->AddFiles(paths);
    ASSERT_EQ(k->Count(), int(std::size(files)));
    EXPECT_TRUE(k->Modified);
    const TColor background = k->workKit->Background();
    for (int i = 0; i < k->Count(); ++i) {
        SCOPED_TRACE(files[i].name);
        const TCatalogEntry e = k->Entry(i);
        const QFileInfo info(dir_ + QLatin1String(files[i].name));
        EXPECT_EQ(e.Path, info.filePath());
        EXPECT_EQ(e.Size, info.size());
        EXPECT_EQ(e.Width, files[i].w);
        EXPECT_EQ(e.Height, files[i].h);
        EXPECT_EQ(e.Time, PackFileTime(info.lastModified().toLocalTime()));
        const TBitmap& t = k->Items[size_t(i)].Thumb;
        EXPECT_EQ(t.Width(), 100);
        EXPECT_EQ(t.Height(), 100);
        // The longer side fills 100 pixels; the rest of the square is background.
        const int w = files[i].w >= files[i].h ? 100 : files[i].w * 100 / files[i].h;
        const int h = files[i].h > files[i].w ? 100 : files[i].h * 100 / files[i].w;
        EXPECT_LE(channelDistance(thumbPixel(*k, i, w / 2, h / 2), clRed), files[i].tolerance);
        EXPECT_LE(channelDistance(thumbPixel(*k, i, w - 1, h - 1), clRed), files[i].tolerance);
        if (w < 100) {
            EXPECT_EQ(thumbPixel(*k, i, 99, 50), background);
            EXPECT_EQ(thumbPixel(*k, i, w, h / 2), background);
        }
        if (h < 100) {
            EXPECT_EQ(thumbPixel(*k, i, 50, 99), background);
            EXPECT_EQ(thumbPixel(*k, i, w / 2, h), background);
        }
    }
}

// Thumbnails are pinned to the bit: the catalog file stores them, so a faster decode or
// scaling path must not change a single byte of what adding a file makes.
TEST_F(CatalogWindowTest, ThumbnailBytesArePinned)
{
    const struct {
        const char* name;
        int w, h;
        uint64_t hash;                                                  // FNV-1a of the thumbnail's rows
    } files[] = {{"landscape.jpg", 1600, 1200, 0x4bbb5e245d9b1d03ull},  // decoded at 2/8
                 {"portrait.jpg", 600, 1000, 0x98ecdc7f5028fbf1ull},    // at 4/8
                 {"small.jpg", 90, 70, 0x42b9a3e372bbf2b7ull},          // whole, enlarged
                 {"odd.png", 333, 127, 0x7cba8d831bbe838aull}};
    Tkataform* k = catalog();
    QStringList paths;
    for (const auto& f : files) {
        QImage img(f.w, f.h, QImage::Format_RGB32);
        for (int y = 0; y < f.h; ++y)
            for (int x = 0; x < f.w; ++x)
                img.setPixel(x, y, qRgb((x * 3 + y) & 255, (y * 5) & 255, ((x / 7) ^ (y / 5)) * 9 & 255));
        const QString path = dir_ + QLatin1String(f.name);
        ASSERT_TRUE(img.save(path, nullptr, 90));
        paths << path;
    }
    k->AddFiles(paths);
    ASSERT_EQ(k->Count(), int(std::size(files)));
    for (size_t i = 0; i < std::size(files); ++i) {
        const TBitmap& t = k->Items[i].Thumb;
        uint64_t hash = 1469598103934665603ull;
        for (int y = 0; y < t.Height(); ++y)
            for (int x = 0; x < t.Width() * 3; ++x)
                hash = (hash ^ t.ScanLine(y)[x]) * 1099511628211ull;
        EXPECT_EQ(hash, files[i].hash) << files[i].name << std::hex << " 0x" << hash;
    }
}

// The bar follows each thumbnail's loading upward in steps of at least
// 5, reaches 100, and is reset to 0 after every file.
// A file that cannot be read is skipped: the files after it are still added, and one
// message at the end names every skipped file with the reader's reason.
TEST_F(CatalogWindowTest, FilesThatCannotBeReadAreSkippedAndListedAtTheEnd)
{
    Tkataform* k = catalog();
    auto broken = [&](const char* name, const QByteArray& bytes) {
        const QString path = dir_ + QLatin1String(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    };
    const QString bad1 = broken("bad.bmp", "BM this is no bitmap");
    const QString bad2 = broken("worse.png", QByteArray(64, 'x'));
    QStringList files{picture(QStringLiteral("a.bmp"), 9, 9, Qt::red), bad1};
    for (int i = 0; i < 3; ++i)
        files << picture(QStringLiteral("g%1.png").arg(i), 7 + i, 5, Qt::blue);
    files << bad2 << picture(QStringLiteral("z.bmp"), 4, 4, Qt::green);
    k->AddFiles(files);
    QStringList added;
    for (int i = 0; i < k->Count(); ++i)
        added << k->Path(i);
    EXPECT_EQ(added, (QStringList{files[0], files[2], files[3], files[4], files[6]}));
    ASSERT_EQ(messages.size(), 1u);
    const QString& m = messages[0];
    EXPECT_TRUE(m.contains(bad1) && m.contains(bad2)) << m.toStdString();
    EXPECT_TRUE(m.contains(QStringLiteral("unrecognized BMP"))) << m.toStdString();
    EXPECT_FALSE(m.contains(files[2])) << m.toStdString();
}

// Reload and update meet unreadable files the same way: the others are done, the
// unreadable ones keep their entries and are named once.
TEST_F(CatalogWindowTest, ReloadAndUpdateSkipUnreadableFilesAndNameThem)
{
    for (const bool update : {false, true}) {
        SCOPED_TRACE(update ? "update" : "reload all");
        Tkataform* k = catalog();
        const QStringList files{picture(QStringLiteral("r0.bmp"), 8, 8, Qt::red),
                                picture(QStringLiteral("r1.bmp"), 8, 8, Qt::red),
                                picture(QStringLiteral("r2.bmp"), 8, 8, Qt::red)};
        k->AddFiles(files);
        ASSERT_EQ(k->Count(), 3);
        const QByteArray oldText = k->Items[1].Text;
        {
            QFile f(files[1]);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write("BM broken now");
        }
        picture(QStringLiteral("r2.bmp"), 8, 8, Qt::blue);
        // A time the update sees as changed, whatever the clock did meanwhile: the files
        // carry a fixed past time and the entries another.
        for (int i : {1, 2}) {
            QFile f(files[i]);
            ASSERT_TRUE(f.open(QIODevice::ReadWrite));
            ASSERT_TRUE(f.setFileTime(QDateTime(QDate(2001, 1, 1), QTime(12, 0)), QFileDevice::FileModificationTime));
            TCatalogEntry e = k->Entry(i);
            e.Time += 1;
            k->Items[size_t(i)].Text = e.Text();
        }
        messages.clear();
        if (update)
            k->updateImagesClicked();
        else
            k->reloadImagesClicked(true);
        EXPECT_EQ(k->Count(), 3);
        EXPECT_EQ(thumbPixel(*k, 2, 50, 50), clBlue);
        EXPECT_EQ(thumbPixel(*k, 1, 50, 50), clRed);
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_TRUE(messages[0].contains(files[1])) << messages[0].toStdString();
        EXPECT_FALSE(messages[0].contains(files[2]));
        k->Modified = false;
        k->parentWidget()->close();
    }
}

// The add dialog starts where the user's files are: the last folder used while it
// exists, else the pictures folder, else home; never the program's folder.
TEST_F(CatalogWindowTest, AddDialogStartsInTheUsersFolders)
{
    const QByteArray oldHome = qgetenv("HOME"), oldConfig = qgetenv("XDG_CONFIG_HOME");
    const QString home = TempDir();
    qputenv("HOME", home.toUtf8());
    qputenv("XDG_CONFIG_HOME", (home + QStringLiteral("/.config")).toUtf8());
    const QString pictures = home + QStringLiteral("/Pictures");
    const QString used = home + QStringLiteral("/used");
    QDir().mkpath(used);
    const struct {
        QString lastdir;
        bool picturesExist;
        QString expected;
    } cases[] = {{QString(), true, pictures},
                 {QString(), false, home},
                 {used + u'/', true, used},
                 {home + QStringLiteral("/gone/"), true, pictures}};
    Tkataform* k = catalog();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lastdir.toStdString());
        if (c.picturesExist)
            QDir().mkpath(pictures);
        else
            QDir(pictures).removeRecursively();
        form->options.lastdir = c.lastdir;
        QString shown;
        QTimer::singleShot(0, [&] {
            if (auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
                shown = d->directory().absolutePath();
                d->reject();
            }
        });
        QTest::mouseClick(k->addFileButton, Qt::LeftButton);
        EXPECT_EQ(QDir(shown).canonicalPath(), QDir(c.expected).canonicalPath());
    }
    qputenv("HOME", oldHome);
    if (oldConfig.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", oldConfig);
}

TEST_F(CatalogWindowTest, ProgressBarFollowsEachFileInSteps)
{
    // Files slower than the bar's interval show each step; files that come faster
    // repaint the bar and the grid a few times a second, not once or twice per file,
    // and every cell is drawn once the add has ended.
    for (const bool slowFiles : {true, false}) {
        SCOPED_TRACE(slowFiles ? "slow files" : "fast files");
        int64_t now = 100000;
        SetStopwatchClock([&] { return slowFiles ? now += TThrottledProgress::kIntervalMs : now; });
        Tkataform* k = catalog();
        QStringList paths;
        for (int i = 0; i < 6; ++i)
            paths << picture(QStringLiteral("p%1.%2").arg(i).arg(i % 2 ? "png" : "jpg"), 640 - 30 * i, 480, Qt::green);
        QApplication::processEvents();
        std::vector<int> values;
        auto watch = QObject::connect(form->Control<QProgressBar>(QStringLiteral("ProgressBar1")),
                                      &QProgressBar::valueChanged, [&](int v) { values.push_back(v); });
        TPaintCounter paints(k->thumbGrid->viewport(), [&] { return k->Count() == 6; });
        k->AddFiles(paths);
        const int paintsDuringAdd = paints.count;
        QApplication::processEvents();
        QObject::disconnect(watch);
        SetStopwatchClock(nullptr);
        ASSERT_EQ(k->Count(), 6);
        EXPECT_GE(k->thumbGrid->ColCount() * k->thumbGrid->RowCount(), 6);
        int resets = 0, hundreds = 0;
        for (size_t i = 1; i < values.size(); ++i) {
            const int a = values[i - 1], b = values[i];
            resets += b == 0;
            hundreds += b == 100;
            if (b != 0 && b != 100 && a != 100) {
                EXPECT_GE(b - a, 5) << "step " << i;
            }
        }
        // Fast files may end before the bar's interval has passed once: then it never
        // left 0, which is where it has to end.
        EXPECT_EQ(form->Control<QProgressBar>(QStringLiteral("ProgressBar1"))->value(), 0);
        ASSERT_TRUE(!slowFiles || !values.empty());
        const TRect last = k->thumbGrid->CellRect(5 % k->thumbGrid->ColCount(), 5 / k->thumbGrid->ColCount());
        EXPECT_TRUE(paints.paintedWhenReady.contains(QRect(last.Left, last.Top, last.Width(), last.Height())))
            << "the last cell was not drawn after the add";
        if (slowFiles) {
            EXPECT_GE(hundreds, 6);
            EXPECT_GE(resets, 6);
        } else {
            EXPECT_LE(values.size(), 2u);
            EXPECT_LE(paintsDuringAdd, 2);
        }
        k->Modified = false;
        k->close();
    }
}

TEST_F(CatalogWindowTest, FileOfUnknownTypeKeepsNoEarlierPicture)
{
    Tkataform* k = catalog();
    const QString png = picture(QStringLiteral("a.png"), 100, 100, Qt::blue);
    const QString odd = dir_ + QStringLiteral("notes.xyz");
    QFile f(odd);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("not a picture");
    f.close();
    k->AddFiles({png, odd});
    ASSERT_EQ(k->Count(), 2);
    EXPECT_EQ(k->Entry(1).Width, 0);
    EXPECT_EQ(k->Entry(1).Height, 0);
    EXPECT_EQ(k->Entry(1).Size, 13);
    for (TPoint p : {TPoint(0, 0), TPoint(50, 50), TPoint(99, 99)})
        EXPECT_EQ(thumbPixel(*k, 1, p.X, p.Y), k->workKit->Background());
}

TEST_F(CatalogWindowTest, GridLayoutFollowsTheWidth)
{
    Tkataform* k = catalog();
    QWidget* frame = k->parentWidget();
    const struct {
        int width;
        int entries;
        int cols, rows;
    } cases[] = {
        {100, 0, 1, 1},       {125, 3, 1, 3},         {125 + 89, 2, 1, 2},    {125 + 90, 2, 1, 2},
        {125 + 180, 5, 2, 3}, {125 + 900, 20, 10, 2}, {125 + 905, 21, 10, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.width);
        k->Items.assign(size_t(c.entries), TCatalogItem{TCatalogEntry::Missing("x").Text(), TBitmap(100, 100), {}});
        // The frame adds its border; the form itself gets the width under test.
        frame->resize(frame->width() - k->width() + c.width, 400);
        QApplication::processEvents();
        ASSERT_EQ(k->width(), c.width);
        EXPECT_EQ(k->thumbGrid->ColCount(), c.cols);
        EXPECT_EQ(k->thumbGrid->RowCount(), c.rows);
    }
    EXPECT_EQ(k->thumbGrid->DefaultColWidth(), 85);
    EXPECT_EQ(k->thumbGrid->DefaultRowHeight(), 85 + 6);
    EXPECT_EQ(k->thumbGrid->GridLineWidth(), 5);
}

// Each caption takes one line from the bottom; the thumbnail fills the square above.
TEST_F(CatalogWindowTest, CaptionFlagsTakeOneLineEach)
{
    Tkataform* k = catalog();
    const QString path = picture(QStringLiteral("g.png"), 100, 100, Qt::green);
    k->AddFiles({path});
    ASSERT_EQ(k->Count(), 1);
    const int32_t time = k->Entry(0).Time;
    const struct {
        uint8_t flags;
        int32_t time;
        int lines;
    } cases[] = {{0, time, 0},
                 {kfName, time, 1},
                 {kfPath, time, 1},
                 {kfName | kfPath, time, 1},
                 {kfDate, time, 1},
                 {kfDate, 0, 0},
                 {kfSize, time, 1},
                 {kfName | kfDate | kfSize, time, 3},
                 {kfName | kfDate | kfSize, 0, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.flags));
        TCatalogEntry e = TCatalogEntry::FromText(k->Items[0].Text);
        e.Time = c.time;
        k->Items[0].Text = e.Text();
        TBitmap cell(90, 120);
        TCanvas* canvas = cell.Canvas();
        canvas->Brush.Color = clWhite;
        canvas->FillRect(TRect(0, 0, 90, 120));
        k->drawEntry(*canvas, TRect(0, 0, 90, 120), c.flags, 7, 0);
        const int line = canvas->TextHeight(QStringLiteral("Ä")) + 1;
        const int side = 120 - c.lines * line;
        int greenRows = 0;
        while (greenRows < 120 && cell.PixelColor(0, greenRows) == clLime)
            ++greenRows;
        EXPECT_EQ(greenRows, side);
        int greenCols = 0;
        while (greenCols < 90 && cell.PixelColor(greenCols, 0) == clLime)
            ++greenCols;
        EXPECT_EQ(greenCols, std::min(side, 90));
    }
    // An index past the last entry only fills the cell.
    TBitmap empty(50, 50);
    empty.Canvas()->Brush.Color = clYellow;
    k->drawEntry(*empty.Canvas(), TRect(0, 0, 50, 50), 15, 7, 1);
    EXPECT_EQ(empty.PixelColor(25, 25), clYellow);
}

TEST_F(CatalogWindowTest, UpdateRebuildsChangedAndMissingEntries)
{
    Tkataform* k = catalog();
    const QString a = picture(QStringLiteral("a.png"), 40, 20, Qt::red);
    const QString b = picture(QStringLiteral("b.png"), 30, 30, Qt::red);
    const QString c = picture(QStringLiteral("c.png"), 10, 10, Qt::red);
    k->AddFiles({a, b, c});
    ASSERT_EQ(k->Count(), 3);
    const QByteArray unchanged = k->Items[2].Text;
    picture(QStringLiteral("a.png"), 64, 48, Qt::blue);
    QFile fa(a);
    ASSERT_TRUE(fa.open(QIODevice::ReadWrite));
    ASSERT_TRUE(fa.setFileTime(QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6)), QFileDevice::FileModificationTime));
    fa.close();
    ASSERT_TRUE(QFile::remove(b));
    k->Modified = false;
    k->updateImagesClicked();
    EXPECT_TRUE(k->Modified);
    ASSERT_EQ(k->Count(), 3);
    EXPECT_EQ(k->Entry(0).Width, 64);
    EXPECT_EQ(k->Entry(0).Height, 48);
    EXPECT_EQ(CatalogDateText(k->Entry(0).Time), QStringLiteral("3.2.2001  04:05"));
    EXPECT_EQ(k->Items[1].Text, TCatalogEntry::Missing(b).Text());
    EXPECT_EQ(k->Items[2].Text, unchanged);

    k->removeMissingClicked();
    ASSERT_EQ(k->Count(), 2);
    EXPECT_EQ(k->Path(0), a);
    EXPECT_EQ(k->Path(1), c);
}

// Reloading decodes ahead like adding: whatever the thread count, every entry gets the
// thumbnail of its file as it is now, and a file gone meanwhile gets the missing picture.
TEST_F(CatalogWindowTest, ReloadingAllWithDecodeThreadsShowsTheFilesAsTheyAreNow)
{
    // Each file in two versions, encoded once.
    std::map<std::pair<int, int>, QByteArray> encoded;
    auto write = [&](int i, int shade) {
        QByteArray& bytes = encoded[{i, shade}];
        if (bytes.isEmpty()) {
            QImage img(400 + 60 * i, 300 + 40 * i, QImage::Format_RGB32);
            for (int y = 0; y < img.height(); ++y)
                for (int x = 0; x < img.width(); ++x)
                    img.setPixel(x, y, qRgb((x * 5 + shade) & 255, (y * 3 + i) & 255, (x ^ y ^ shade) & 255));
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            EXPECT_TRUE(img.save(&buffer, "JPG"));
        }
        const QString path = dir_ + QStringLiteral("r%1.jpg").arg(i);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
        return path;
    };
    auto thumbs = [](const Tkataform& k) {
        std::vector<QByteArray> out;
        for (const TCatalogItem& item : k.Items) {
            QByteArray bytes;
            for (int y = 0; y < item.Thumb.Height(); ++y)
                bytes.append(reinterpret_cast<const char*>(item.Thumb.ScanLine(y)), item.Thumb.Width() * 3);
            out.push_back(bytes);
        }
        return out;
    };
    QStringList paths;
    for (int i = 0; i < 7; ++i)
        paths << write(i, 0);
    for (int i = 0; i < 7; ++i)
        write(i, 90);
    ASSERT_TRUE(QFile::remove(paths[3]));
    // The oracle: the files as they are now, added on one thread.
    std::vector<QByteArray> expected;
    {
        TScopedParallelThreads scope(1, 0);
        Tkataform* k = catalog();
        k->AddFiles(paths);
        ASSERT_EQ(k->Count(), 6);
        expected = thumbs(*k);
        expected.insert(expected.begin() + 3, QByteArray());
        k->Modified = false;
        k->close();
    }
    for (int threads : {1, 4}) {
        SCOPED_TRACE(threads);
        write(3, 0);
        Tkataform* k = nullptr;
        {
            TScopedParallelThreads scope(1, 0);
            k = catalog();
            k->AddFiles(paths);
        }
        ASSERT_EQ(k->Count(), 7);
        const std::vector<QByteArray> before = thumbs(*k);
        for (int i = 0; i < 7; ++i)
            write(i, 90);
        ASSERT_TRUE(QFile::remove(paths[3]));
        TScopedParallelThreads scope(threads, 0);
        k->reloadImagesClicked(true);
        const std::vector<QByteArray> now = thumbs(*k);
        ASSERT_EQ(now.size(), 7u);
        for (size_t i = 0; i < now.size(); ++i) {
            if (i != 3) {
                EXPECT_TRUE(now[i] == expected[i]) << "entry " << i;
            }
        }
        EXPECT_FALSE(now[3].isEmpty());
        EXPECT_FALSE(now[3] == before[3]);  // the missing picture, not the old thumbnail
        k->Modified = false;
        k->close();
    }
}

TEST_F(CatalogWindowTest, RemoveSelectionBeyondTheLastEntryRemovesOnlyEntries)
{
    Tkataform* k = catalog();
    QStringList paths;
    for (int i = 0; i < 5; ++i)
        paths << picture(QStringLiteral("p%1.bmp").arg(i), 8 + i, 8, Qt::gray);
    k->AddFiles(paths);
    const int cols = k->thumbGrid->ColCount();
    ASSERT_GE(cols, 2);
    const struct {
        int answer;
        TGridRect selection;
        std::vector<int> kept;
    } cases[] = {
        {mrCancel, {0, 0, cols - 1, 3}, {0, 1, 2, 3, 4}},
        {mrOk, {1, 0, 1, 0}, {0, 2, 3, 4}},
        {mrOk, {cols - 1, 0, cols - 1, 5}, {}},
    };
    for (const auto& c : cases) {
        // A fresh window each time: after a removal nothing is selected.
        k->parentWidget()->close();
        k = catalog();
        k->AddFiles(paths);
        k->reorder();
        k->thumbGrid->SetSelection(c.selection);
        answer = c.answer;
        k->removeFilesClicked();
        std::vector<int> kept;
        for (int i = 0; i < k->Count(); ++i)
            kept.push_back(int(paths.indexOf(k->Path(i))));
        std::vector<int> expected = c.kept;
        if (c.selection.Left == cols - 1)  // the last column: every entry in it goes
            for (int i = 0; i < 5; ++i)
                if (i % cols != cols - 1)
                    expected.push_back(i);
        EXPECT_EQ(kept, expected);
    }
}

// After a remove nothing is selected: the cells of the old range show other images now,
// so a second remove takes nothing until the user picks cells again.
TEST_F(CatalogWindowTest, RemoveLeavesNothingSelected)
{
    Tkataform* k = catalog();
    k->parentWidget()->resize(800, 400);
    QCoreApplication::processEvents();
    QStringList paths;
    for (int i = 0; i < 6; ++i)
        paths << picture(QStringLiteral("r%1.bmp").arg(i), 8 + i, 8, Qt::gray);
    k->AddFiles(paths);
    ASSERT_GE(k->thumbGrid->ColCount(), 3);
    QWidget* grid = k->thumbGrid->viewport();
    auto cell = [&](int c) {
        const TRect r = k->thumbGrid->CellRect(c, 0);
        return QRect(r.Left, r.Top, r.Width(), r.Height());
    };
    auto kept = [&] {
        QStringList l;
        for (int i = 0; i < k->Count(); ++i)
            l << k->Path(i);
        return l;
    };
    // The caption row near the cell's right edge shows the cell's background (inside
    // the focus rectangle of the current cell).
    auto highlighted = [&](int c) {
        const QRect r = cell(c);
        return grid->grab().toImage().pixelColor(r.right() - 3, r.bottom() - 3) == ToQColor(ColorToRGB(clHighlight));
    };
    QTest::mouseClick(grid, Qt::LeftButton, {}, cell(1).center());
    QTest::mouseClick(grid, Qt::LeftButton, Qt::ShiftModifier, cell(2).center());
    ASSERT_EQ(k->thumbGrid->Selection(), (TGridRect{1, 0, 2, 0}));
    EXPECT_TRUE(highlighted(1) || highlighted(2));
    answer = mrOk;
    QTest::mouseClick(k->removeFileButton, Qt::LeftButton);
    EXPECT_EQ(kept(), (QStringList{paths[0], paths[3], paths[4], paths[5]}));
    EXPECT_FALSE(k->HasSelection());
    EXPECT_FALSE(highlighted(1) || highlighted(2));
    messages.clear();
    QTest::mouseClick(k->removeFileButton, Qt::LeftButton);
    EXPECT_EQ(kept(), (QStringList{paths[0], paths[3], paths[4], paths[5]}));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], QStringLiteral("Es sind keine Bilder markiert."));
    // A cell picked again is removed.
    QTest::mouseClick(grid, Qt::LeftButton, {}, cell(1).center());
    EXPECT_TRUE(k->HasSelection());
    QTest::mouseClick(k->removeFileButton, Qt::LeftButton);
    EXPECT_EQ(kept(), (QStringList{paths[0], paths[4], paths[5]}));
}

// While a catalog adds files, the commands that would use its list say why they wait
// (its own buttons are disabled meanwhile), and none of their dialogs opens.
TEST_F(CatalogWindowTest, CommandsOnABusyCatalogSayWhyTheyWait)
{
    QStringList paths;
    for (int i = 0; i < 4; ++i)
        paths << picture(QStringLiteral("b%1.bmp").arg(i), 9, 9, Qt::red);
    for (const char* item : {"DiashowdirektvomKatalog1", "Drucken1", "Allemarkieren1", "Dateientfernen1"}) {
        SCOPED_TRACE(item);
        Tkataform* k = catalog();
        messages.clear();
        int dialogs = 0;
        bool triggered = false;
        // Any dialog the command opens is counted and closed, so that nothing waits.
        QTimer closer;
        closer.setInterval(0);
        QObject::connect(&closer, &QTimer::timeout, [&] {
            if (QWidget* m = QApplication::activeModalWidget()) {
                ++dialogs;
                m->close();
            }
        });
        closer.start();
        // Runs inside the add's event handling, after its first file.
        QTimer during;
        during.setInterval(0);
        QObject::connect(&during, &QTimer::timeout, [&] {
            if (!triggered && k->Busy() && k->Count() >= 1) {
                triggered = true;
                form->Item(QLatin1String(item))->trigger();
            }
        });
        during.start();
        k->AddFiles(paths);
        during.stop();
        closer.stop();
        ASSERT_TRUE(triggered);
        EXPECT_EQ(dialogs, 0);
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_TRUE(messages[0].startsWith(QStringLiteral("Der Katalog arbeitet noch."))) << messages[0].toStdString();
        EXPECT_EQ(k->Count(), 4);
        k->Modified = false;
        k->parentWidget()->close();
    }
}

// Closing the main window during an add asks; Yes stops the add and closes the program
// once the add has ended (asking about the catalog's changes as any close does); No
// lets the add go on.
TEST_F(CatalogWindowTest, ClosingTheMainWindowDuringAnAddAsksAndThenCloses)
{
    QStringList paths;
    for (int i = 0; i < 5; ++i)
        paths << picture(QStringLiteral("c%1.bmp").arg(i), 9, 9, Qt::red);
    for (const int reply : {mrNo, mrYes}) {
        SCOPED_TRACE(reply);
        Tkataform* k = catalog();
        std::vector<QString> asked;
        SetMessageDlgHook([&](const MessageDlgCall& call) {
            asked.push_back(call.message);
            // The question about the add, then the one about saving the catalog.
            return asked.size() == 1 ? reply : int(mrNo);
        });
        bool closed = false;
        QTimer during;
        during.setInterval(0);
        QObject::connect(&during, &QTimer::timeout, [&] {
            if (!closed && k->Busy() && k->Count() >= 2) {
                closed = true;
                form->close();
            }
        });
        during.start();
        k->AddFiles(paths);
        during.stop();
        ASSERT_TRUE(closed);
        ASSERT_GE(asked.size(), 1u);
        EXPECT_TRUE(asked[0].startsWith(QStringLiteral("Der Katalog fügt noch Bilder hinzu")))
            << asked[0].toStdString();
        if (reply == mrNo) {
            EXPECT_EQ(k->Count(), 5);
            QCoreApplication::processEvents();
            EXPECT_TRUE(form->isVisible());
            EXPECT_EQ(asked.size(), 1u);
            k->Modified = false;
            k->parentWidget()->close();
            continue;
        }
        EXPECT_LT(k->Count(), 5);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !form->isVisible(); }, 10000));
        ASSERT_EQ(asked.size(), 2u);
        EXPECT_TRUE(asked[1].startsWith(QStringLiteral("Möchten Sie Ihre Änderungen"))) << asked[1].toStdString();
        EXPECT_EQ(form->MDIChildCount(), 0);
    }
}

// Before any click the first thumbnail is the current one, and Remove takes it.
TEST_F(CatalogWindowTest, WithoutAClickRemoveTakesTheFirstThumbnail)
{
    Tkataform* k = catalog();
    k->parentWidget()->resize(800, 400);
    QCoreApplication::processEvents();
    const QStringList paths{picture(QStringLiteral("f0.bmp"), 8, 8, Qt::red),
                            picture(QStringLiteral("f1.bmp"), 9, 8, Qt::blue),
                            picture(QStringLiteral("f2.bmp"), 10, 8, Qt::green)};
    k->AddFiles(paths);
    EXPECT_EQ(k->thumbGrid->Selection(), (TGridRect{0, 0, 0, 0}));
    answer = mrOk;
    QTest::mouseClick(k->removeFileButton, Qt::LeftButton);
    ASSERT_EQ(k->Count(), 2);
    EXPECT_EQ(k->Path(0), paths[1]);
    EXPECT_EQ(k->Path(1), paths[2]);
}

TEST_F(CatalogWindowTest, SelectAllCoversTheGrid)
{
    Tkataform* k = catalog();
    k->Items.assign(7, TCatalogItem{TCatalogEntry::Missing("x").Text(), TBitmap(100, 100), {}});
    k->reorder();
    k->selectAllClicked();
    const TGridRect s = k->thumbGrid->Selection();
    EXPECT_EQ(s, (TGridRect{0, 0, k->thumbGrid->ColCount() - 1, k->thumbGrid->RowCount() - 1}));
}

TEST_F(CatalogWindowTest, DoubleClickOpensTheEntryInAnImageWindow)
{
    Tkataform* k = catalog();
    const QString a = picture(QStringLiteral("a.bmp"), 30, 20, Qt::red);
    const QString b = picture(QStringLiteral("b.bmp"), 20, 30, Qt::blue);
    k->AddFiles({a, b});
    const int before = form->MDIChildCount();
    const TRect cell = k->thumbGrid->CellRect(1, 0);
    // A real double click starts with a click, which makes the cell current; the test
    // tool sends only the second one.
    const QPoint at(cell.Left + 10, cell.Top + 10);
    QTest::mouseClick(k->thumbGrid->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(k->thumbGrid->viewport(), Qt::LeftButton, {}, at);
    ASSERT_EQ(form->MDIChildCount(), before + 1);
    Tchild* opened = form->ActiveImageWindow();
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(opened->windowTitle(), b);
    EXPECT_EQ(opened->imageKit->Bitmap()->Width(), 20);
}

TEST_F(CatalogWindowTest, EmptyCatalogSavesAnEmptyFileAndFailedSaveKeepsState)
{
    Tkataform* k = catalog();
    k->Modified = true;
    const QString bad = home_ + QStringLiteral("/no/such/dir/x.pca");
    EXPECT_THROW(k->saveCatalogTo(bad), EStreamError);
    EXPECT_TRUE(k->Modified);
    EXPECT_EQ(k->windowTitle(), QStringLiteral("!unbenannt1"));

    const QString name = home_ + QStringLiteral("/empty.pca");
    k->saveCatalogTo(name);
    EXPECT_FALSE(k->Modified);
    EXPECT_EQ(k->windowTitle(), name);
    EXPECT_EQ(QFileInfo(name).size(), 0);
    Tkataform* again = catalog(name);
    again->loadCatalog(name);
    EXPECT_EQ(again->Count(), 0);
    EXPECT_EQ(again->thumbGrid->RowCount(), 1);
}

TEST_F(CatalogWindowTest, ClosingAModifiedCatalog)
{
    const struct {
        int answer;
        bool dialogOk;
        bool closes;
    } cases[] = {{mrCancel, true, false}, {mrNo, false, true}, {mrYes, false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        Tkataform* k = catalog();
        k->Modified = true;
        answer = c.answer;
        TOpenDialog::ExecuteHook = [&](TOpenDialog&) { return c.dialogOk; };
        EXPECT_EQ(k->FormClose(), c.closes);
        k->Modified = false;
    }
}

// Every untitled caption, in either language, asks for a name; a name typed without an
// extension gets ".pca"; nothing is written where the program is.
TEST_F(CatalogWindowTest, SaveOfAnUntitledCatalogAsksForTheName)
{
    const struct {
        const char* title;
        const char* typed;
        const char* written;
    } cases[] = {{"!unbenannt1", "chosen.pca", "chosen.pca"},
                 {"!noname2", "chosen", "chosen.pca"},
                 {"!NoName3", "dotted.dir/named", "dotted.dir/named.pca"},
                 {"", "x", "x.pca"}};
    QDir().mkpath(home_ + QStringLiteral("/dotted.dir"));
    const QStringList beside = QDir::current().entryList(QDir::Files);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        Tkataform* k = catalog(QLatin1String(c.title));
        k->Modified = true;
        int asked = 0;
        TOpenDialog::ExecuteHook = [&](TOpenDialog& d) {
            ++asked;
            EXPECT_EQ(d.Mode(), fdSave);
            d.FileName = home_ + u'/' + QLatin1String(c.typed);
            return true;
        };
        EXPECT_TRUE(k->saveCatalogClicked());
        EXPECT_EQ(asked, 1);
        const QString written = home_ + u'/' + QLatin1String(c.written);
        EXPECT_TRUE(QFileInfo::exists(written));
        EXPECT_EQ(k->windowTitle(), written);
        EXPECT_FALSE(k->Modified);
    }
    EXPECT_EQ(QDir::current().entryList(QDir::Files), beside);
}

TEST_F(CatalogWindowTest, SaveLoadRoundTripIsByteIdentical)
{
    Tkataform* k = catalog();
    k->AddFiles(
        {picture(QStringLiteral("a.bmp"), 31, 17, Qt::red), picture(QStringLiteral("b.png"), 17, 31, Qt::blue)});
    const QString first = home_ + QStringLiteral("/one.pca");
    k->saveCatalogTo(first);
    Tkataform* loaded = catalog(first);
    loaded->loadCatalog(first);
    ASSERT_EQ(loaded->Count(), 2);
    EXPECT_FALSE(loaded->Modified);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(loaded->Items[size_t(i)].Text, k->Items[size_t(i)].Text);
        EXPECT_EQ(loaded->Items[size_t(i)].Thumb.Image(), k->Items[size_t(i)].Thumb.Image());
    }
    const QString second = home_ + QStringLiteral("/two.pca");
    loaded->saveCatalogTo(second);
    EXPECT_EQ(ReadWholeFile(second), ReadWholeFile(first));
}

TEST_F(CatalogWindowTest, DamagedCatalogKeepsTheEntriesBeforeTheFault)
{
    Tkataform* k = catalog();
    k->AddFiles({picture(QStringLiteral("a.bmp"), 9, 9, Qt::red), picture(QStringLiteral("b.bmp"), 9, 9, Qt::blue),
                 picture(QStringLiteral("c.bmp"), 9, 9, Qt::green)});
    const QString name = home_ + QStringLiteral("/full.pca");
    k->saveCatalogTo(name);
    const QByteArray full = ReadWholeFile(name);
    std::vector<int64_t> ends;
    {
        TMemoryStream s(full);
        ReadCatalogRecords(s, [&](TCatalogRecord&&) { ends.push_back(s.Position()); });
    }
    ASSERT_EQ(ends.size(), 3u);
    // Every record boundary, and points inside the text, the frame and the thumbnail.
    std::vector<int64_t> cuts = {0, 2, 4, 10};
    for (int64_t end : ends)
        for (int64_t d : {-1, 0, 3, 15, 40})
            if (end + d > 0 && end + d <= full.size())
                cuts.push_back(end + d);
    const QString cutName = home_ + QStringLiteral("/cut.pca");
    for (int64_t cut : cuts) {
        SCOPED_TRACE(cut);
        WriteFileSafely(cutName, full.left(cut));
        const bool boundary = cut == 0 || std::find(ends.begin(), ends.end(), cut) != ends.end();
        int whole = 0;
        while (whole < 3 && ends[size_t(whole)] <= cut)
            ++whole;
        Tkataform* w = catalog(cutName);
        if (boundary)
            EXPECT_NO_THROW(w->loadCatalog(cutName));
        else
            EXPECT_THROW(w->loadCatalog(cutName), Exception);
        EXPECT_EQ(w->Count(), whole);
        EXPECT_EQ(ReadWholeFile(cutName), full.left(cut));
        form->ClientArea()->closeAllSubWindows();
    }
}

TEST_F(CatalogWindowTest, CatalogMenuActsOnTheActiveCatalog)
{
    Tkataform* k = catalog();
    k->Items.assign(4, TCatalogItem{TCatalogEntry::Missing("x").Text(), TBitmap(100, 100), {}});
    k->reorder();
    QAction* selectAll = form->Item(QStringLiteral("Allemarkieren1"));
    ASSERT_TRUE(selectAll->isEnabled());
    selectAll->trigger();
    EXPECT_EQ(k->thumbGrid->Selection(), (TGridRect{0, 0, k->thumbGrid->ColCount() - 1, 0}));
    answer = mrOk;
    form->Item(QStringLiteral("Dateientfernen1"))->trigger();
    EXPECT_EQ(k->Count(), 0);
    EXPECT_TRUE(k->Modified);
}

TEST_F(CatalogWindowTest, EscapeTypedInTheGridSetsTheAbortFlag)
{
    Tkataform* k = catalog();
    k->Aborting = false;
    QTest::keyClick(k->thumbGrid, Qt::Key_Escape);
    EXPECT_TRUE(k->Aborting);
}

// Decoding ahead on the pool changes nothing a catalog holds: the same entries, the
// same thumbnail bytes, in the same order, up to the same fault, and Escape stops the
// add after the same file, whatever the thread count.
TEST_F(CatalogWindowTest, AddingWithDecodeThreadsEqualsAddingOnOne)
{
    QStringList paths;
    for (int i = 0; i < 9; ++i) {
        QImage img(900 - 40 * i, 500 + 60 * i, QImage::Format_RGB32);
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                img.setPixel(x, y, qRgb((x * 7 + i * 40) & 255, (y * 3) & 255, (x ^ y) & 255));
        const QString path = dir_ + QStringLiteral("p%1.%2").arg(i).arg(i == 4 ? "png" : "jpg");
        ASSERT_TRUE(img.save(path));
        paths << path;
    }
    {  // cut short: decodes with the library's padding
        QFile f(paths[2]);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.resize(f.size() / 2));
    }
    const QString garbage = dir_ + QStringLiteral("broken.jpg");
    {
        QFile f(garbage);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(3000, '\x5a'));
    }
    struct TSnapshot {
        std::vector<QByteArray> texts, thumbs;
        QString fault;
    };
    // escapeAt: Escape is typed while the entry count is at that value (−1: never).
    auto build = [&](int threads, const QStringList& files, int escapeAt) {
        TScopedParallelThreads scope(threads, 0);
        // Every step reaches the bar, so that Escape can be typed at any entry count.
        int64_t now = 0;
        SetStopwatchClock([&] { return now += TThrottledProgress::kIntervalMs; });
        Tkataform* k = catalog();
        k->Aborting = false;
        auto typed = QObject::connect(form->Control<QProgressBar>(QStringLiteral("ProgressBar1")),
                                      &QProgressBar::valueChanged, [&] {
                                          if (k->Count() == escapeAt && !k->Aborting)
                                              QTest::keyClick(k->thumbGrid, Qt::Key_Escape);
                                      });
        TSnapshot s;
        messages.clear();
        k->AddFiles(files);
        for (const QString& m : messages)
            s.fault += m;
        QObject::disconnect(typed);
        SetStopwatchClock(nullptr);
        for (const TCatalogItem& item : k->Items) {
            s.texts.push_back(item.Text);
            QByteArray bytes;
            for (int y = 0; y < item.Thumb.Height(); ++y)
                bytes.append(reinterpret_cast<const char*>(item.Thumb.ScanLine(y)), item.Thumb.Width() * 3);
            s.thumbs.push_back(bytes);
        }
        k->Modified = false;
        k->close();
        return s;
    };
    QStringList withFault = paths;
    withFault.insert(6, garbage);
    const struct {
        QStringList files;
        int escapeAt;
        int expectedCount;
        bool faults;
    } cases[] = {
        {paths, -1, 9, false},
        {withFault, -1, 9, true},  // the broken file is skipped and named at the end
        {paths, 3, 3, false},      // typed as the third entry comes: no fourth
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "escape at " << c.escapeAt << ", fault " << c.faults);
        const TSnapshot one = build(1, c.files, c.escapeAt);
        ASSERT_EQ(int(one.texts.size()), c.expectedCount);
        EXPECT_EQ(!one.fault.isEmpty(), c.faults);
        for (int threads : {2, 4, 8}) {
            SCOPED_TRACE(threads);
            const TSnapshot many = build(threads, c.files, c.escapeAt);
            EXPECT_EQ(many.fault, one.fault);
            EXPECT_EQ(many.texts, one.texts);
            ASSERT_EQ(many.thumbs.size(), one.thumbs.size());
            for (size_t i = 0; i < one.thumbs.size(); ++i)
                EXPECT_TRUE(many.thumbs[i] == one.thumbs[i]) << "thumbnail " << i;
        }
    }
    // And the pool really decodes ahead: every readable JPEG, nothing else.
    TScopedParallelThreads scope(4, 0);
    TIOParamsVals params;
    TDecodeAhead::TOptions reduced;
    reduced.minLongSide = 400;
    TDecodeAhead ahead(withFault, params, reduced);
    for (int i = 0; i < withFault.size(); ++i) {
        const bool jpeg = withFault[i].endsWith(QLatin1String(".jpg")) && withFault[i] != garbage;
        EXPECT_EQ(ahead.Take(i) != nullptr, jpeg) << withFault[i].toStdString();
    }
}

// Thumbnails decoded and scaled on the workers make the same catalog file, byte for
// byte, as the one-at-a-time path: wide, tall, grey, tiny and cut-short JPEGs, with
// other types between them.
TEST_F(CatalogWindowTest, CatalogFileFromWorkersEqualsTheOneFromOneThread)
{
    QStringList paths;
    const struct {
        int w, h;
        QImage::Format format;
        const char* type;
    } pictures[] = {
        {1200, 500, QImage::Format_RGB32, "jpg"},     {420, 1300, QImage::Format_RGB32, "jpg"},
        {700, 700, QImage::Format_Grayscale8, "jpg"}, {9, 3, QImage::Format_RGB32, "jpg"},
        {333, 201, QImage::Format_RGB32, "png"},      {801, 599, QImage::Format_RGB32, "jpg"},
        {640, 480, QImage::Format_RGB32, "bmp"},      {1601, 1199, QImage::Format_RGB32, "jpg"},
        {1000, 999, QImage::Format_RGB32, "jpg"},
    };
    for (int i = 0; i < int(std::size(pictures)); ++i) {
        const auto& p = pictures[i];
        QImage img(p.w, p.h, QImage::Format_RGB32);
        for (int y = 0; y < p.h; ++y)
            for (int x = 0; x < p.w; ++x)
                img.setPixel(x, y, qRgb((x * 5 + i * 30) & 255, (y * 7) & 255, (x ^ (y * 3)) & 255));
        const QString path = dir_ + QStringLiteral("w%1.%2").arg(i).arg(QLatin1String(p.type));
        ASSERT_TRUE(img.convertToFormat(p.format).save(path));
        paths << path;
    }
    {  // cut short: decodes with the library's padding
        QFile f(paths[5]);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.resize(f.size() * 2 / 3));
    }
    auto saved = [&](int threads) {
        TScopedParallelThreads scope(threads, 0);
        Tkataform* k = catalog();
        k->AddFiles(paths);
        EXPECT_EQ(k->Count(), int(paths.size()));
        const QString name = home_ + QStringLiteral("/t%1.pca").arg(threads);
        k->saveCatalogTo(name);
        k->close();
        return ReadWholeFile(name);
    };
    const QByteArray one = saved(1);
    ASSERT_FALSE(one.isEmpty());
    for (int threads : {2, 8}) {
        SCOPED_TRACE(threads);
        EXPECT_TRUE(saved(threads) == one);
    }
    // The workers decode and scale every JPEG ahead and nothing else; a file passed
    // over is not handed out afterwards.
    TScopedParallelThreads scope(4, 0);
    TIOParamsVals params;
    std::atomic<int> finished{0};
    TDecodeAhead::TOptions options;
    options.minLongSide = 400;
    options.finish = [&](TDecodedPicture& p) {
        ++finished;
        p.Bitmap.SetSize(7, 5);
    };
    TDecodeAhead ahead(paths, params, options);
    for (int i : {0, 1, 2, 4, 5, 8}) {
        const TDecodedPicture* p = ahead.Take(i);
        const bool jpeg = paths[i].endsWith(QLatin1String(".jpg"));
        ASSERT_EQ(p != nullptr, jpeg) << i;
        if (p) {
            EXPECT_EQ(p->Bitmap.Width() * 10 + p->Bitmap.Height(), 75) << i;
        }
    }
    EXPECT_EQ(ahead.Take(7), nullptr);
    EXPECT_GE(finished.load(), 5);
}

// Runs over files with their saves encoded on worker threads end as runs on one thread do:
// the same files, bytes, messages, failures and windows.
#include "batch_test_fixture.h"

#include "app/batch/batch_runner.h"
#include "app/image_window/image_window.h"
#include "platform/core/parallel_for.h"

namespace {

struct TRunResult {
    QStringList names;
    std::vector<QByteArray> bytes;
    std::vector<QString> messages;
    QStringList failures;
    QStringList openTitles;

    bool operator==(const TRunResult&) const = default;
};

}  // namespace

using TPresent = std::vector<std::pair<QString, QByteArray>>;  // files in the output folder first

class BatchBehind : public Batch {
protected:
    // Runs the records over the file list with `threads` threads, saving as JPEG.
    TRunResult run(int threads, const QStringList& files, std::initializer_list<uint8_t> records, int existing,
                   const TPresent& present = {}, bool keepnames = false)
    {
        TScopedParallelThreads scope(threads);
        closeAll();
        QDir(out_).removeRecursively();
        QDir().mkpath(out_);
        for (const auto& [name, bytes] : present)
            WriteFileSafely(out_ + QLatin1Char('/') + name, bytes);
        WriteFileList(FileListPath(), files);
        form->options.verzdialog.source = 0;
        settings(2, existing, 0, false, keepnames);
        form->autoform()->imageKit->Params().JpegQuality = 85;
        messages.clear();
        clickInModal("Button1");
        form->Batch().RunBatch(writeBatch(QStringLiteral("behind"), records), TBatchRunner::bmFileList);
        TRunResult r;
        r.names = QDir(out_).entryList(QDir::Files | QDir::Hidden, QDir::Name);
        for (const QString& f : r.names)
            r.bytes.push_back(ReadWholeFile(out_ + QLatin1Char('/') + f));
        r.messages = messages;
        r.failures = form->Batch().Failures();
        for (QWidget* w : form->MDIChildren())
            r.openTitles << w->windowTitle() +
                                (qobject_cast<Tchild*>(w)->Modified() ? QStringLiteral(" *") : QString());
        return r;
    }
    QStringList sources(int count)
    {
        const QString src = TempDir() + QStringLiteral("/behindsrc%1").arg(serial_++);
        QDir().mkpath(src);
        QStringList files;
        for (int i = 0; i < count; ++i) {
            files << src + QStringLiteral("/p%1.jpg").arg(i);
            patterned(41 + 3 * i, 29 + i, i)->imageKit->IO()->SaveToFile(files.back());
            closeAll();
        }
        return files;
    }
};

TEST_F(BatchBehind, SavesWrittenBehindAreTheBytesOfSavesWrittenAtOnce)
{
    const QStringList files = sources(9);
    const QByteArray jpeg = ReadWholeFile(files[8]);
    const QString scratch = TempDir() + QStringLiteral("/behindtwin%1").arg(serial_++);
    const QByteArray bmp = ReadWholeFile(writeImage(scratch + QStringLiteral(".bmp"), RGB(10, 20, 30)));
    const QByteArray png = ReadWholeFile(writeImage(scratch + QStringLiteral(".png"), RGB(40, 50, 60)));
    struct Case {
        QStringList files;
        int existing;
        TPresent present;
        int written;
        bool keepnames = false;
    };
    const Case cases[] = {
        {files, 0, {}, 9},
        // Increment past files there before and past files the run itself writes.
        {files, 1, {{QStringLiteral("u0002.jpg"), jpeg}, {QStringLiteral("u0005.jpg"), jpeg}}, 11},
        // A listed file the run overwrites before its turn is read as written.
        {files.mid(0, 3) << out_ + QStringLiteral("/u0001.jpg"), 0, {{QStringLiteral("u0001.jpg"), jpeg}}, 4},
        // Kept names: the second twin finds the first one's file there and takes a number.
        {{out_ + QStringLiteral("/t.bmp"), out_ + QStringLiteral("/t.png")},
         1,
         {{QStringLiteral("t.bmp"), bmp}, {QStringLiteral("t.png"), png}},
         4,
         true},
    };
    const std::initializer_list<uint8_t> records{cmdGray, cmdFlipHorizontal, cmdNegative};
    for (const Case& c : cases) {
        const TRunResult once = run(1, c.files, records, c.existing, c.present, c.keepnames);
        ASSERT_EQ(once.names.size(), c.written) << once.names.join(u' ').toStdString();
        EXPECT_TRUE(once.messages.empty());
        EXPECT_TRUE(once.openTitles.isEmpty());
        for (int threads : {2, 8})
            EXPECT_EQ(run(threads, c.files, records, c.existing, c.present, c.keepnames), once)
                << threads << " threads, " << c.files.size() << " files";
    }
}

TEST_F(BatchBehind, AFailedSaveIsToldAsAtOnceAndTheFilesAfterItAreNotReached)
{
    QStringList files = sources(6);
    // Too wide for JPEG: its save fails in the writer, which runs behind.
    const QString wide = TempDir() + QStringLiteral("/behindwide%1.bmp").arg(serial_++);
    imageWindow(70000, 1, RGB(1, 2, 3))->imageKit->IO()->SaveToFile(wide);
    closeAll();
    const QString broken = TempDir() + QStringLiteral("/behindbroken%1.bmp").arg(serial_++);
    WriteFileSafely(broken, "BM no bitmap");
    files.insert(2, wide);
    files.insert(3, broken);
    const TRunResult once = run(1, files, {cmdNegative}, 0);
    EXPECT_EQ(once.names, (QStringList{QStringLiteral("u0001.jpg"), QStringLiteral("u0002.jpg")}));
    ASSERT_EQ(once.messages.size(), 1u);
    EXPECT_TRUE(once.messages[0].contains(QStringLiteral("image too large"))) << once.messages[0].toStdString();
    EXPECT_TRUE(once.failures.isEmpty());
    ASSERT_EQ(once.openTitles.size(), 1);
    EXPECT_TRUE(once.openTitles[0].endsWith(QStringLiteral(" *")));
    for (int threads : {2, 8})
        EXPECT_EQ(run(threads, files, {cmdNegative}, 0), once) << threads << " threads";
}

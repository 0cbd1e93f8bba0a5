// The printer's PDF output and its numbered files.
#include "common/test_support.h"
#include "platform/core/exceptions.h"
#include "platform/print/printer.h"

#include <QFile>
#include <QPainter>
#include <QPrinterInfo>
#include <QRegularExpression>

namespace {

int pdfPages(const QString& pdf)
{
    QByteArray out;
    if (RunTool(QStringLiteral("pdfinfo"), {pdf}, &out) != 0)
        return -1;
    const auto m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(QString::fromUtf8(out));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// Without a system printer the jobs go to A4 PDF pages at 300 dpi, the resolution the
// print dialog's sizes are made for: a 600-pixel image starts at two inches there.
TEST(Printer, WithoutAPrinterPrintsA4PdfAt300Dpi)
{
    TPrinter p;
    if (!QPrinterInfo::availablePrinters().isEmpty()) {
        EXPECT_FALSE(p.PdfOutput());
        return;
    }
    EXPECT_TRUE(p.PdfOutput());
    EXPECT_EQ(p.XResolution(), 300);
    EXPECT_EQ(p.YResolution(), 300);
    EXPECT_NEAR(p.PageWidth(), 2480, 1);   // 210 mm
    EXPECT_NEAR(p.PageHeight(), 3508, 1);  // 297 mm
}

TEST(Printer, JobsWriteNumberedFilesAndFailuresLeaveNothingBegun)
{
    REQUIRE_TOOLS("pdfinfo");
    TPrinter p;
    const QString base = TempDir() + QStringLiteral("/job");
    p.SetPdfOutput(base, 254, 254, 127);
    EXPECT_EQ(p.PageWidth(), 2540);  // 720 × 360 points
    EXPECT_EQ(p.PageHeight(), 1270);
    // Jobs of 2, 1 and 3 pages, the second aborted half-way.
    const struct {
        int pages;
        bool abort;
    } jobs[] = {{2, false}, {1, true}, {3, false}};
    for (const auto& j : jobs) {
        SCOPED_TRACE(j.pages);
        ASSERT_NO_THROW(p.BeginDoc());
        ASSERT_TRUE(p.Printing());
        ASSERT_NE(p.Canvas(), nullptr);
        EXPECT_THROW(p.BeginDoc(), EPrinter);
        for (int i = 1; i < j.pages; ++i)
            p.NewPage();
        p.Painter()->fillRect(0, 0, 100, 100, Qt::black);
        if (j.abort)
            p.Abort();
        else
            p.EndDoc();
        EXPECT_FALSE(p.Printing());
        EXPECT_EQ(p.Painter(), nullptr);
    }
    EXPECT_EQ(p.JobCount(), 3);
    EXPECT_EQ(pdfPages(base + QStringLiteral("-1.pdf")), 2);
    EXPECT_FALSE(QFile::exists(base + QStringLiteral("-2.pdf")));
    EXPECT_EQ(pdfPages(base + QStringLiteral("-3.pdf")), 3);
    EXPECT_THROW(p.EndDoc(), EPrinter);
    EXPECT_THROW(p.NewPage(), EPrinter);

    // A job that cannot start raises and leaves the printer idle.
    p.SetPdfOutput(QStringLiteral("/nonexistent-folder/sub/job"), 254, 100, 100);
    EXPECT_THROW(p.BeginDoc(), EPrinter);
    EXPECT_FALSE(p.Printing());
    EXPECT_EQ(p.JobCount(), 0);
}

}  // namespace

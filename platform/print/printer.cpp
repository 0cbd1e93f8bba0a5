// The printer over QPrinter: jobs, pages and PDF output numbered past existing files.
#include "platform/print/printer.h"

#include "platform/core/exceptions.h"
#include "platform/core/data_directory.h"
#include "platform/graphics/canvas.h"

#include <QFile>
#include <QPageLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

TPrinter::TPrinter() : printer_(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    // Without any printer the jobs go to PDF files in the data directory.
    if (QPrinterInfo::availablePrinters().isEmpty())
        SetPdfOutput(DataDirectory() + QStringLiteral("/print"), 300, 210, 297);
}

TPrinter::~TPrinter()
{
    if (Printing())
        Abort();
}

void TPrinter::SetPdfOutput(const QString& base, int dpi, double pageWidthMm, double pageHeightMm)
{
    if (Printing())
        throw EPrinter(QStringLiteral("Printing in progress"));
    pdfBase_ = base;
    jobs_ = 0;
    lastNumber_ = 0;
    lastPdf_.clear();
    if (base.isEmpty()) {
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        return;
    }
    printer_->setOutputFormat(QPrinter::PdfFormat);
    printer_->setResolution(dpi);
    printer_->setFullPage(false);
    printer_->setPageLayout(QPageLayout(QPageSize(QSizeF(pageWidthMm, pageHeightMm), QPageSize::Millimeter),
                                        QPageLayout::Portrait, QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
}

QString TPrinter::PdfFileName(int number) const { return pdfBase_ + QStringLiteral("-%1.pdf").arg(number); }

void TPrinter::BeginDoc()
{
    if (Printing())
        throw EPrinter(QStringLiteral("Printing in progress"));
    printer_->setCopyCount(1);
    printer_->setDocName(Title);
    QString pdf;
    int number = lastNumber_ + 1;
    if (PdfOutput()) {
        while (QFile::exists(PdfFileName(number)))
            ++number;
        pdf = PdfFileName(number);
        printer_->setOutputFileName(pdf);
    }
    if (!printer_->isValid())
        throw EPrinter(QStringLiteral("The printer is not ready: ") + PrinterName());
    auto painter = std::make_unique<QPainter>();
    if (!painter->begin(printer_.get())) {
        if (PdfOutput())
            QFile::remove(pdf);
        throw EPrinter(QStringLiteral("The printer could not start the job: ") + PrinterName());
    }
    ++jobs_;
    if (PdfOutput()) {
        lastNumber_ = number;
        lastPdf_ = pdf;
    }
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setRenderHint(QPainter::LosslessImageRendering, true);
    painter_ = std::move(painter);
    canvas_ = std::make_unique<TCanvas>(painter_.get());
}

void TPrinter::NewPage()
{
    if (!Printing())
        throw EPrinter(QStringLiteral("Printer is not printing"));
    if (!printer_->newPage())
        throw EPrinter(QStringLiteral("The printer could not start a new page"));
}

void TPrinter::EndDoc()
{
    if (!Printing())
        throw EPrinter(QStringLiteral("Printer is not printing"));
    canvas_.reset();
    const bool ok = painter_->end();
    painter_.reset();
    if (!ok)
        throw EPrinter(QStringLiteral("The printer could not finish the job"));
}

void TPrinter::Abort()
{
    if (!Printing())
        return;
    canvas_.reset();
    printer_->abort();
    if (painter_->isActive())
        painter_->end();
    painter_.reset();
    if (PdfOutput())
        QFile::remove(lastPdf_);
}

int TPrinter::PageWidth() const { return printer_->pageLayout().paintRectPixels(printer_->resolution()).width(); }

int TPrinter::PageHeight() const { return printer_->pageLayout().paintRectPixels(printer_->resolution()).height(); }

int TPrinter::XResolution() const { return printer_->resolution(); }
int TPrinter::YResolution() const { return printer_->resolution(); }

QString TPrinter::PrinterName() const
{
    if (PdfOutput())
        return QStringLiteral("PDF");
    return printer_->printerName();
}

bool TPrinter::Setup(QWidget* parent)
{
    if (Printing())
        return false;
    QPrintDialog dialog(printer_.get(), parent);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    // The choice made there wins: a real printer, or a file of the user's own.
    if (printer_->outputFormat() == QPrinter::NativeFormat) {
        pdfBase_.clear();
    } else if (const QString file = printer_->outputFileName(); !file.isEmpty()) {
        pdfBase_ = file.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive) ? file.chopped(4) : file;
        jobs_ = 0;
        lastNumber_ = 0;
    }
    return true;
}

TPrinter& Printer()
{
    static TPrinter printer;
    return printer;
}

// The program's printer (TPrinter).
#pragma once
#include <QString>
#include <memory>

class QPainter;
class QPrinter;
class QWidget;
class TCanvas;

// The program's printer: a QPrinter at its high resolution. Positions are device pixels
// of the printable area, origin at its top-left corner. Each BeginDoc/EndDoc pair is
// one job; every job prints one copy.
//
// With PDF output (no printer installed, or tests) each job writes a file of its own:
// base-1.pdf, base-2.pdf, … numbered on past every file of that name that already
// exists, so that a print of an earlier session is never overwritten.
class TPrinter {
public:
    TPrinter();
    ~TPrinter();
    TPrinter(const TPrinter&) = delete;
    TPrinter& operator=(const TPrinter&) = delete;

    QPrinter& Device() { return *printer_; }

    // PDF output at a fixed resolution onto a page of the given size in millimetres
    // with no margins. An empty base returns to the system's printer.
    void SetPdfOutput(const QString& base, int dpi, double pageWidthMm, double pageHeightMm);
    bool PdfOutput() const { return !pdfBase_.isEmpty(); }
    // The PDF file of number n (from 1).
    QString PdfFileName(int number) const;
    // The file the last job begun in PDF output writes; empty before any.
    QString LastPdfFile() const { return lastPdf_; }
    // Jobs begun since the last SetPdfOutput.
    int JobCount() const { return jobs_; }

    QString Title;

    // Raises EPrinter when the printer cannot start; nothing is left begun then.
    void BeginDoc();
    void NewPage();
    void EndDoc();
    // Ends a job that failed half-way; a PDF file begun for it is removed.
    void Abort();
    bool Printing() const { return painter_ != nullptr; }

    // Valid between BeginDoc and EndDoc.
    QPainter* Painter() const { return painter_.get(); }
    TCanvas* Canvas() const { return canvas_.get(); }

    int PageWidth() const;
    int PageHeight() const;
    // Device pixels per inch, across and down.
    int XResolution() const;
    int YResolution() const;
    QString PrinterName() const;
    // The platform's printer setup dialog; true when the user accepted it.
    bool Setup(QWidget* parent);

private:
    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<QPainter> painter_;
    std::unique_ptr<TCanvas> canvas_;
    QString pdfBase_;
    QString lastPdf_;
    int jobs_ = 0;
    int lastNumber_ = 0;
};

// The one printer of the program.
TPrinter& Printer();

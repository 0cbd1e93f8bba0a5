// The main window as the interpreter, its image windows and the features see it: each
// narrow interface answered from the window's own parts.
#include "app/batch/batch_runner.h"
#include "app/catalog/catalog_window.h"
#include "app/comments/comment_commands.h"
#include "app/image_window/image_window.h"
#include "app/main_window/main_window.h"
#include "app/print/print_dialog.h"
#include "app/slideshow/slide_commands.h"
#include "app/text/object_names.h"
#include "app/text/translation.h"
#include "app/util/decode_ahead.h"
#include "imaging/io/image_kit_io.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QToolButton>
#include <utility>

Tchild* Tform1::NewPlainImageWindow() { return addImageWindow(); }

void Tform1::ApplyViewOptions(Tchild* image) { applyViewOptions(image); }

QWidget* Tform1::NewCatalogWindow() { return newCatalogWindow(); }

void Tform1::OpenCatalog(const QString& fileName)
{
    auto* k = static_cast<Tkataform*>(newCatalogWindow());
    // A damaged catalog keeps the entries read before the fault; the error is reported.
    k->setWindowTitle(fileName);
    k->loadCatalog(fileName);
    // A load stopped by Escape or by closing the window is not maintained.
    if (!k->Aborting)
        k->AutoMaintain();
}

void Tform1::FitWindowToImageTwice(QObject* sender, Tchild* image) { fitWindowToImageTwice(sender, image); }

void Tform1::ZoomToWindow()
{
    zoombox->setEditText(TranslatedCaption(QStringLiteral("Fenstergröße")));
    zoomBoxChanged();
}

std::unique_ptr<TDecodedPicture> Tform1::TakeStartupPicture(const QString& fileName, const TIOParamsVals& params)
{
    return takeStartupPicture(fileName, params);
}

TDecodedPicture* Tform1::TakeHandedOver(const QString& fileName)
{
    TDecodedPicture* ahead = std::exchange(preloaded_, nullptr);
    if (ahead && std::exchange(preloadedName_, QString()) != fileName)
        ahead = nullptr;
    return ahead;
}

QString* Tform1::LoadErrorSink() const { return loadErrorSink_; }

void Tform1::AssignSaveParams(const tsaveparams& block) { assignparams(block); }

void Tform1::ChangeWallpaper(const QString& fileName, bool tiled) { changeWallpaper(fileName, tiled); }

TImageKitIO& Tform1::SharedIO()
{
    if (!imageIO)
        imageIO = new TImageKitIO(this);
    return *imageIO;
}

void Tform1::RunComment(const tautomatitem& item, Tchild* image) { runComment(item, image); }

void Tform1::RecordClose(Tchild* image)
{
    tautomatitem closing;
    closing.SetCode(cmdClose);
    runautomatitem(image, closing);
}

bool Tform1::RulersShown() const { return Item(QLatin1String(ObjectName::MainWindow::Lineal1))->isChecked(); }

bool Tform1::StatusLineShown() const { return Item(QLatin1String(ObjectName::MainWindow::Statusleiste1))->isChecked(); }

void Tform1::ShowZoomText(const QString& text) { zoombox->setEditText(text); }

int Tform1::CurrentMouseMode() const { return drawing_->MouseModeCode(); }

int Tform1::CurrentTool() const { return drawing_->ToolCode(); }

bool Tform1::InDrawingMode() const { return drawing_->DrawingMode(); }

TColor Tform1::DrawingPenColor() const { return drawing_->PenColor(); }

TColor Tform1::DrawingFillColor() const { return drawing_->FillColor(); }

void Tform1::PickPenColor(TColor color) { drawing_->SetPenColor(color); }

void Tform1::PickFillColor(TColor color) { drawing_->SetFillColor(color); }

const TBitmap* Tform1::DrawingFillPattern() const { return drawing_->FillPatternBitmap(); }

QString Tform1::DrawingText() const { return drawing_->Text(); }

void Tform1::DropSelection() { runcode(cmdSelectNone); }

TFeatureRoutes* Tform1::Routes() { return this; }

void Tform1::PrintActive() { printClicked(); }

void Tform1::CatalogSlideShow() { slideShowFromCatalogClicked(); }

TBatchControls Tform1::BatchControls() const
{
    TBatchControls c;
    c.record = Control<QToolButton>(QLatin1String(ObjectName::MainWindow::SpeedButton11));
    c.stop = Control<QToolButton>(QLatin1String(ObjectName::MainWindow::SpeedButton8));
    c.play = Control<QToolButton>(QLatin1String(ObjectName::MainWindow::SpeedButton13));
    c.box = Control<QComboBox>(QLatin1String(ObjectName::MainWindow::autobox));
    for (size_t i = 0; i < c.quickStarts.size(); ++i)
        c.quickStarts[i] = findChild<QAction*>(QStringLiteral("QuickStart%1").arg(i + 1));
    return c;
}

// The commands that act on the active image window, and the save parameters.
#include "app/commands/command_seams.h"
#include "app/batch/batch_dialog.h"
#include "app/image_window/image_window.h"
#include "app/main_window/main_window.h"
#include "app/text/language.h"
#include "app/util/paths.h"
#include "imaging/kit/image_kit.h"
#include "platform/core/exceptions.h"

#include <QProgressBar>
#include <algorithm>

namespace {

// A text that does not fit its 255-byte slot is refused, never cut.
TShortString shortString(const QString& text)
{
    TShortString s;
    if (!s.Assign(text))
        throw Exception(LangText(QStringLiteral("Der Text ist für den Parameter zu lang: "),
                                 QStringLiteral("The text is too long for the parameter: ")) +
                        text);
    return s;
}

void fillBlock(const TIOParamsVals& p, tsaveparams& b)
{
    b.BitsPerSample = p.BitsPerSample;
    b.SamplesPerPixel = p.SamplesPerPixel;
    b.DpiX = p.DpiX;
    b.DpiY = p.DpiY;
    b.GifVersion = shortString(p.GifVersion);
    b.GifImageIndex = p.GifImageIndex;
    b.GifXPos = p.GifXPos;
    b.GifYPos = p.GifYPos;
    b.GifDelayTime = p.GifDelayTime;
    b.GifTransparent = p.GifTransparent;
    b.GifTransparentColor = p.GifTransparentColor;
    b.GifInterlaced = p.GifInterlaced;
    b.GifScreenWidth = p.GifScreenWidth;
    b.GifScreenHeight = p.GifScreenHeight;
    b.GifBackground = p.GifBackground;
    b.GifAspectRatio = p.GifAspectRatio;
    b.TiffCompression = p.TiffCompression;
    b.TiffPhotometric = p.TiffPhotometric;
    b.TiffPlanarConfig = p.TiffPlanarConfig;
    b.TiffImageIndex = p.TiffImageIndex;
    b.TiffXPos = p.TiffXPos;
    b.TiffYPos = p.TiffYPos;
    b.TiffDocumentName = shortString(p.TiffDocumentName);
    b.TiffImageDescription = shortString(p.TiffImageDescription);
    b.TiffPageName = shortString(p.TiffPageName);
    b.TiffPageNumber = p.TiffPageNumber;
    b.TiffPageCount = p.TiffPageCount;
    b.JpegColorSpace = p.JpegColorSpace;
    b.JpegQuality = p.JpegQuality;
    b.JpegDctMethod = p.JpegDctMethod;
    b.JpegOptimalHuffman = p.JpegOptimalHuffman;
    b.JpegSmoothing = p.JpegSmoothing;
    b.JpegProgressive = p.JpegProgressive;
    b.BmpCompression = p.BmpCompression;
    b.BmpVersion = p.BmpVersion;
    b.PcxVersion = p.PcxVersion;
    b.PcxCompression = p.PcxCompression;
    b.IcoWidth = p.IcoWidth;
    b.IcoHeight = p.IcoHeight;
    b.CurWidth = p.CurWidth;
    b.CurHeight = p.CurHeight;
}

} // namespace

void Tform1::saveparams(tsaveparams& block)
{
    if (Tchild* image = imageWindowOf(ActiveMDIChild()))
        fillBlock(image->imageKit->IOParams(), block);
}

void Tform1::saveparamsautoform(tsaveparams& block)
{
    fillBlock(autoform()->imageKit->Params(), block);
}

void Tform1::assignparams(const tsaveparams& b)
{
    Tchild* image = imageWindowOf(ActiveMDIChild());
    if (!image)
        return;
    b.ApplyTo(image->imageKit->IOParams());
}

void Tform1::applyViewOptions(Tchild* image)
{
    image->imageKit->SetDelayZoomFilter(options.DelayZoomFilter != 0);
    image->imageKit->SetDoubleBuffer(options.DoubleBuffer != 0);
    image->imageKit->SetZoomFilter(TResampleFilter(std::min<int>(options.ZoomFilter, rfMitchell)));
}

void Tform1::runImageCommand(QObject* sender, const tautomatitem& a, Tchild* image)
{
    TImageKit* kit = image->imageKit;
    TImageKitProc* proc = kit->Proc();
    const uint8_t code = a.Code();
    if (code >= cmdColorDialog && code <= cmdMerge)
        ResetProgress();
    // Every command that changes the image marks it, so that closing asks first.
    // The colour, effects and merge dialogs mark it only when they close with OK.
    static const uint8_t changing[] = {cmdUndo, cmdCutRect, cmdPaste, cmdPasteRect, cmdReduceColors, cmdGray,
                                       cmdNegative, cmdResizeCanvas, cmdResample, cmdRotate, cmdFlipVertical,
                                       cmdFlipHorizontal, cmdClear, cmdTo24Bit, cmdBWThreshold, cmdBWOrdered};
    if (std::find(std::begin(changing), std::end(changing), code) != std::end(changing))
        image->Modified = true;

    switch (code) {
    case cmdSave: {
        assignparams(a.SaveParams());
        const QString name = a.FileName();
        kit->IO()->SaveToFile(name);
        image->setWindowTitle(name);
        kit->IOParams().FileName = name;
        image->Modified = false;
        break;
    }
    case cmdUndo: kit->Undo(); break;
    case cmdCutRect:
        proc->SelectRect(a.Arg(1), a.Arg(2), a.Arg(3), a.Arg(4));
        kit->CutToClipboard();
        break;
    case cmdCopyRect:
        proc->SelectRect(a.Arg(1), a.Arg(2), a.Arg(3), a.Arg(4));
        kit->CopyToClipboard();
        break;
    case cmdPaste: kit->PasteFromClipboard(); break;
    case cmdPasteRect:
        proc->SelectRect(a.Arg(1), a.Arg(2), a.Arg(3), a.Arg(4));
        kit->PasteToSelection();
        break;
    case cmdSelectAll: proc->SelectRect(0, 0, kit->Bitmap()->Width(), kit->Bitmap()->Height()); break;
    case cmdSelectNone: kit->Deselect(); break;
    case cmdColorDialog:
    case cmdEffectsDialog:
        // Colours: contrast, HSV, RGB, HSL and the filters' first pages; effects: the rest.
        if (kit->DoProcPreviews(code == cmdColorDialog ? 94 : 928))
            image->Modified = true;
        break;
    case cmdReduceColors: proc->ReduceColors(a.Arg(1)); break;
    case cmdGray: kit->ConvertToGray(); break;
    case cmdNegative: kit->Negative(); break;
    case cmdHistogram:
        if (TCommandSeams::Histogram)
            TCommandSeams::Histogram(image);
        break;
    case cmdHSVChannels: hsvChannels(image); break;
    case cmdCountColors: {
        const QString n = QString::number(proc->CountColors());
        LangShowMessage(QStringLiteral("Das Bild hat ") + n + QStringLiteral(" unterschiedliche Farben."),
                        QStringLiteral("The image has ") + n + QStringLiteral(" different colors."));
        break;
    }
    case cmdBackground: kit->SetBackground(TColor(a.Arg(1))); break;
    case cmdResizeCanvas:
        kit->ResizeCanvas(a.Arg(1), a.Arg(2));
        image->viewChanged(sender, -1);
        fitWindowToImage(sender, image);
        break;
    case cmdResample:
        kit->Resample(a.Arg(1), a.Arg(2), TResampleFilter(a.ArgLowByte(3)));
        image->viewChanged(sender, -1);
        fitWindowToImage(sender, image);
        break;
    case cmdRotate:
        kit->Rotate(a.Arg(1), a.ArgLowByte(2) != 0);
        kit->Fit();
        break;
    case cmdFlipVertical: kit->Flip(1); break;
    case cmdFlipHorizontal: kit->Flip(0); break;
    case cmdMerge:
        if (TCommandSeams::Merge)
            TCommandSeams::Merge(*this, image);
        break;
    case cmdDuplicate: {
        Tchild* c = newImageWindow();
        c->Modified = true;
        c->setWindowTitle(UntitledCaption());
        c->imageKit->Assign(static_cast<TImageKitView*>(image->imageKit));
        fitWindowToImage(sender, c);
        break;
    }
    case cmdWallpaper:
        changeWallpaper(WindowsDirectory() + QStringLiteral("kandrivel.bmp"), a.FileNameLength() != 0);
        break;
    case cmdClear: kit->Clear(); break;
    case cmdTo24Bit: proc->ConvertTo24Bit(); break;
    case cmdBWThreshold: proc->ConvertToBWThreshold(a.Arg(1)); break;
    case cmdBWOrdered: proc->ConvertToBWOrdered(); break;
    default: break;
    }
}

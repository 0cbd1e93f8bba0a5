// The command interpreter: every recordable command of the main window runs here.
#include "app/commands/command_seams.h"
#include "app/image_window/image_window.h"
#include "app/main_window/main_window.h"
#include "app/text/language.h"
#include "app/util/paths.h"
#include "imaging/kit/image_kit.h"

#include <QMdiSubWindow>
#include <QPointer>
#include <QProgressBar>

Tchild* Tform1::imageWindowOf(QWidget* window)
{
    return qobject_cast<Tchild*>(window);
}

void Tform1::runautomatitem(QObject* sender, const tautomatitem& item)
{
    // The handlers' record may change while a command runs (wallpaper builds a save).
    const tautomatitem a = item;
    // However the command ends (returned, refused, raised), its progress does not stay.
    struct ProgressReset {
        QPointer<Tform1> form;
        ~ProgressReset()
        {
            if (form)
                form->ResetProgress();
        }
    } progressReset{this};
    if (Recording)
        RecordingList.push_back(a.ToByteArray());

    if (const TRecordCheck check = CheckRecord(a); !check.ok()) {
        LangMessageDlg(check.german, mtError, mbOK, check.english);
        checkbuttonsenabled(false);
        return;
    }

    QWidget* active = ActiveMDIChild();
    Tchild* image = imageWindowOf(active);
    switch (a.Code()) {
    case cmdNewImage: {
        Tchild* c = newImageWindow();
        c->imageKit->Bitmap()->SetSize(a.Arg(1), a.Arg(2));
        c->setWindowTitle(UntitledCaption());
        c->Modified = true;
        fitWindowToImage(sender, c);
        const TColor remembered = c->imageKit->Background();
        switch (a.Arg(3)) {
        case 0: c->imageKit->SetBackground(TColor(options.newbackground & 0xFFFFFF)); break;
        case 1: c->imageKit->SetBackground(TColor(0xFFFFFF)); break;
        case 2: c->imageKit->SetBackground(TColor(0)); break;
        default: break;
        }
        c->imageKit->Clear();
        c->imageKit->SetBackground(remembered);
        applyViewOptions(c);
        c->viewChanged(sender, -1);
        break;
    }
    case cmdOpen:
        openCommand(a.FileName());
        return;
    case cmdClose:
        break;
    case cmdScan: {
        QPointer<Tchild> c = newImageWindow();
        c->Modified = true;
        const bool got = c->imageKit->IO()->Acquire();
        // The window may have been closed while the scanner's dialog was up.
        QMdiSubWindow* sub = c ? qobject_cast<QMdiSubWindow*>(c->parentWidget()) : nullptr;
        if (!sub || sub->isHidden())
            break;
        if (got) {
            c->setWindowTitle(UntitledCaption());
            fitWindowToImage(sender, c);
            c->imageKit->SetBackground(TColor(options.newbackground & 0xFFFFFF));
            applyViewOptions(c);
            c->viewChanged(sender, -1);
        } else {
            // Nothing arrived: the empty window goes without asking.
            c->Modified = false;
            sub->close();
        }
        break;
    }
    case cmdSelectScanner:
        if (!imageIO)
            imageIO = new TImageKitIO(this);
        imageIO->MsgLanguage = LibraryLanguage();
        imageIO->SelectAcquireSource();
        break;
    case cmdNewCatalog:
        if (QWidget* k = newCatalogWindow())
            k->setWindowTitle(UntitledCaption());
        break;
    case cmdVideoImport:
        if (TCommandSeams::VideoImport)
            TCommandSeams::VideoImport(*this);
        break;
    case cmdSlideShow:
        if (TCommandSeams::SlideShow)
            TCommandSeams::SlideShow(*this);
        break;
    case cmdPrint:
        // Catalog windows print too, so this does not wait for an image window.
        if (TCommandSeams::Print)
            TCommandSeams::Print(*this, image, a);
        break;
    default:
        if (a.Code() > kLastCommandCode)
            break;  // unknown: availability only
        if (!image)
            break;  // a replayed image command without an image window changes nothing
        if (a.Code() >= cmdRecordComment) {
            runComment(a, image);
            return;
        }
        runImageCommand(sender, a, image);
        break;
    }
    checkbuttonsenabled(false);
}

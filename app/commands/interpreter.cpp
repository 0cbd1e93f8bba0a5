// The interpreter's run: recording, the record check, the table entry; and the
// commands that make windows.
#include "app/commands/interpreter.h"

#include "app/commands/command_host.h"
#include "app/image_window/image_window.h"
#include "app/options/options.h"
#include "app/text/language.h"
#include "app/util/cancellable_work.h"
#include "imaging/dialogs/twain_acquire.h"
#include "imaging/io/image_kit_io.h"
#include "imaging/kit/image_kit.h"
#include "platform/ui/application.h"

#include <QMdiSubWindow>
#include <QPointer>
#include <QStatusBar>

void TCommandInterpreter::Run(QObject* sender, const tautomatitem& item)
{
    // A record that long work's events bring (a timer, another program) waits its turn:
    // it is refused and not recorded. A close is held by the window itself instead, and a
    // close that went through records itself here.
    if (item.Code() != cmdClose && RefuseWhileWorkRuns())
        return;
    const TWorkScope scope;
    // The handlers' record may change while a command runs (wallpaper builds a save).
    const tautomatitem a = item;
    // However the command ends (returned, refused, raised), its progress does not stay.
    struct ProgressReset {
        TCommandHost& host;
        QPointer<QWidget> window;
        ~ProgressReset()
        {
            if (window)
                host.ResetProgress();
        }
    } progressReset{host_, host_.Window()};
    if (host_.IsRecording())
        host_.RecordedBlocks().push_back(a.ToByteArray());

    if (const TRecordCheck check = CheckRecord(a); !check.ok()) {
        LangMessageDlg(check.german, mtError, mbOK, check.english);
        host_.UpdateAvailability(false);
        return;
    }

    Tchild* image = qobject_cast<Tchild*>(host_.ActiveMDIChild());
    const TCommandEntry* entry = FindCommand(a.Code());
    // Unknown codes, and a replayed image command without an image window, change nothing.
    if (entry && (image || !entry->needsImageWindow)) {
        if (a.Code() >= cmdColorDialog && a.Code() <= cmdMerge)
            host_.ResetProgress();
        // Modified only once the command has run: one that raised (refused, out of memory,
        // cancelled) left the image as it was.
        const QPointer<Tchild> changed = entry->changesImage ? image : nullptr;
        const bool updateAvailability = entry->run(*this, TCommandCall{sender, a, image});
        if (changed)
            changed->SetModified(true);
        if (!updateAvailability)
            return;
    }
    host_.UpdateAvailability(false);
}

void TCommandInterpreter::NewImage(const TCommandCall& call)
{
    const tautomatitem& a = call.item;
    Tchild* c = host_.NewImageWindow();
    c->imageKit->Bitmap()->SetSize(a.Arg(1), a.Arg(2));
    c->setWindowTitle(host_.UntitledCaption());
    c->SetModified(true);
    host_.FitWindowToImage(call.sender, c);
    const TColor remembered = c->imageKit->Background();
    switch (TNewImageFill(a.Arg(3))) {
    case nfOptionColor: c->imageKit->SetBackground(TColor(host_.Options().newbackground & 0xFFFFFF)); break;
    case nfWhite: c->imageKit->SetBackground(TColor(0xFFFFFF)); break;
    case nfBlack: c->imageKit->SetBackground(TColor(0)); break;
    default: break;
    }
    c->imageKit->Clear();
    c->imageKit->SetBackground(remembered);
    host_.ApplyViewOptions(c);
    c->viewChanged(call.sender, -1);
}

void TCommandInterpreter::Scan(const TCommandCall& call)
{
    // One scan at a time: a second Scan brings the first one's dialog forward.
    if (TwainBringAcquisitionForward())
        return;
    QPointer<Tchild> c = host_.NewImageWindow();
    c->SetModified(true);
    auto closeEmpty = [&c] {
        // Nothing arrived: the empty window goes without asking.
        if (auto* sub = c ? qobject_cast<QMdiSubWindow*>(c->parentWidget()) : nullptr) {
            c->SetModified(false);
            sub->close();
        }
    };
    bool got = false;
    try {
        got = c->imageKit->IO()->Acquire();
    } catch (const std::exception& e) {
        // A refused or failed acquisition leaves no window behind.
        const bool windowGone = !c;
        closeEmpty();
        if (!windowGone)
            throw;
        // A scan whose window was closed meanwhile: said here, as there is nothing to undo.
        TApplication::HandleException(e);
        return;
    }
    // The window may have been closed while the scanner's dialog was up.
    QMdiSubWindow* sub = c ? qobject_cast<QMdiSubWindow*>(c->parentWidget()) : nullptr;
    if (!sub || sub->isHidden())
        return;
    if (got) {
        c->setWindowTitle(host_.UntitledCaption());
        host_.FitWindowToImage(call.sender, c);
        c->imageKit->SetBackground(TColor(host_.Options().newbackground & 0xFFFFFF));
        host_.ApplyViewOptions(c);
        c->viewChanged(call.sender, -1);
    } else {
        closeEmpty();
    }
}

void TCommandInterpreter::SelectScanner()
{
    TImageKitIO& io = host_.SharedIO();
    io.MsgLanguage = LibraryLanguage();
    io.SelectAcquireSource();
}

void TCommandInterpreter::Duplicate(const TCommandCall& call)
{
    Tchild* c = host_.NewImageWindow();
    c->SetModified(true);
    c->setWindowTitle(host_.UntitledCaption());
    c->imageKit->Assign(static_cast<TImageKitView*>(call.image->imageKit));
    host_.FitWindowToImage(call.sender, c);
}

bool TCommandInterpreter::Comment(const TCommandCall& call)
{
    // The comment commands update the availability themselves where they do not end early.
    host_.RunComment(call.item, call.image);
    return false;
}

void TCommandInterpreter::HsvChannels(Tchild* image)
{
    // Plain image windows: no option colour, undo depth or mouse mode.
    static const char* const suffixes[] = {" Hue", " Saturation", " Value"};
    Tchild* parts[3];
    for (int i = 0; i < 3; ++i) {
        parts[i] = host_.NewPlainImageWindow();
        parts[i]->SetModified(true);
        parts[i]->setWindowTitle(image->windowTitle() + QLatin1String(suffixes[i]));
    }
    image->imageKit->Proc()->SplitToHSV(parts[0]->imageKit->Bitmap(), parts[1]->imageKit->Bitmap(),
                                        parts[2]->imageKit->Bitmap());
    // Each window takes its image's size as an opened image does, rulers, border and
    // status line included, and stays inside the visible area.
    for (Tchild* c : parts) {
        c->imageKit->Update();
        host_.FitWindowToImageTwice(host_.Window(), c);
        c->repaint();
    }
}

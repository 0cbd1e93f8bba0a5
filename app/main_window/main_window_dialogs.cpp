// The forms and dialogs the main window's commands open, each modal and freed after.
#include "app/main_window/main_window_dialogs.h"

#include "app/comments/comment_commands.h"
#include "app/dialogs/histogram_dialog.h"
#include "app/dialogs/merge_dialog.h"
#include "app/image_window/image_window.h"
#include "app/main_window/main_window.h"
#include "app/print/print_job.h"
#include "app/slideshow/slide_player.h"
#include "app/text/object_names.h"
#include "app/text/translation.h"
#include "app/video/video_import_dialog.h"
#include "imaging/kit/image_kit.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/file_dialogs.h"

#include <QListWidget>
#include <QSlider>
#include <QToolButton>

void TMainWindowDialogs::Histogram(Tchild* image)
{
    TfHistogram d(image);
    TranslateForm(QLatin1String(ObjectName::HistogramDialog::Form), &d);
    d.Attach(image->imageKit);
    d.exec();
}

void TMainWindowDialogs::Merge(Tchild* image)
{
    Tform1& form = *form_;
    TfMergeDialog d(&form);
    TranslateForm(QLatin1String(ObjectName::MergeDialog::Form), &d);
    QList<Tchild*> windows;
    for (QWidget* w : form.MDIChildren())
        if (Tchild* c = Tform1::imageWindowOf(w))
            windows.append(c);
    d.SetWindows(windows, image);
    d.freezePreviewButton->setChecked(form.options.mergelock != 0);
    d.mixSlider->setValue(form.options.mergetrack);
    // The dialog makes its own preview from the active image and merges on OK; a
    // cancelled merge leaves the image, and its state, as they were.
    if (d.exec() == mrOk && d.windowList->currentRow() >= 0) {
        image->SetModified(true);
        form.options.mergelock = d.freezePreviewButton->isChecked() ? 1 : 0;
        form.options.mergetrack = d.mixSlider->value();
    }
}

void TMainWindowDialogs::PrintCopy(Tchild* image, const tautomatitem& item) { Print(*form_, image, item); }

void TMainWindowDialogs::Print(Tform1& form, Tchild* image, const tautomatitem& item)
{
    ExecutePrint(form, image, item);
}

void TMainWindowDialogs::VideoImport() { RunVideoImport(*form_); }

void TMainWindowDialogs::SlideShow() { RunSlideShow(form_, form_->options.slideshow); }

void TMainWindowDialogs::CommentForm(const QString& wavPath, const QString& source, TCommentMode mode)
{
    RunCommentForm(wavPath, source, mode);
}

QString TMainWindowDialogs::ChooseWavFile(const QString& title, const QString& directory, const QString& filter)
{
    return ChooseWaveFile(title, directory, filter);
}

// The batch's save-and-close command, and a cancelled save stopping it.
#include "batch_test_fixture.h"
#include "app/batch/batch_runner.h"
#include "imaging/dialogs/save_dialog.h"

#include <QPointer>

namespace {

TEST_F(Batch, SaveAndCloseWritesImagesBackAndStopsWhenASaveIsCancelled)
{
    const QString a = writeImage(out_ + QStringLiteral("/a.bmp"), RGB(10, 20, 30));
    const QString b = writeImage(out_ + QStringLiteral("/b.png"), RGB(40, 50, 60));
    form->Files().OpenFileList = {a, b};
    form->Files().openChosenFiles();
    Tchild* untitled = imageWindow(2, 2, RGB(70, 80, 90));
    Tchild* last = imageWindow(2, 2, RGB(100, 110, 120));
    ASSERT_EQ(form->MDIChildCount(), 4);
    // The untitled image asks where to save; cancelling stops the run there.
    int asked = 0;
    form->Files().saveDialog = new TSaveImageKitDialog(form.get());
    TSaveImageKitDialog& d = *form->Files().saveDialog;
    d.OnShow = [&](TObject*) {
        ++asked;
        QTimer::singleShot(0, &d, [&d] {
            if (QPointer<TIKFileDialog> g(d.Handle()); g)
                g->reject();
        });
    };
    settings(1);
    form->Batch().RunBatch(writeBatch(QStringLiteral("neg"), {cmdNegative}), TBatchRunner::bmAllLoaded);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(loadFile(a).PixelColor(1, 1), negated(RGB(10, 20, 30)));
    EXPECT_EQ(loadFile(b).PixelColor(1, 1), negated(RGB(40, 50, 60)));
    EXPECT_EQ(form->MDIChildren(), (QList<QWidget*>{untitled, last}));
    EXPECT_EQ(untitled->imageKit->Bitmap()->PixelColor(0, 0), negated(RGB(70, 80, 90)));
    EXPECT_EQ(last->imageKit->Bitmap()->PixelColor(0, 0), RGB(100, 110, 120));
}

}  // namespace

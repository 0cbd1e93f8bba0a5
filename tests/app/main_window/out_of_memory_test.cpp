// An edit that runs out of memory: the message, and the image and its undo as they were.
#include "app/app_test_util.h"
#include "common/bitmap_memory.h"

#include <QAction>

namespace {

using OutOfMemory = MainWindowTest;

// The negative needs pixels of its own beside the undo copy. Refused, the user reads the
// out-of-memory message, the image and its undo stay as they were, and the next try
// with memory works.
TEST_F(OutOfMemory, NegativeShowsTheMessageAndTheProgramGoesOn)
{
    make();
    Tchild* c = imageWindow(40, 30, RGB(10, 20, 30));
    TImageKit& kit = *c->imageKit;
    QAction* negative = form->Item(QStringLiteral("Negativ1"));
    ASSERT_NE(negative, nullptr);
    {
        const TBitmapMemoryRefusal refusal;
        negative->trigger();
    }
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], QStringLiteral("Out of memory for a 40 × 30 bitmap."));
    EXPECT_EQ(kit.Bitmap()->PixelColor(5, 5), RGB(10, 20, 30));
    EXPECT_EQ(kit.Proc()->UndoCount(), 0);

    negative->trigger();
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_EQ(kit.Bitmap()->PixelColor(5, 5), RGB(245, 235, 225));
    EXPECT_EQ(kit.Proc()->UndoCount(), 1);
}

}  // namespace

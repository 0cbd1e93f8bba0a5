// The image window follows its image: size, scroll range, rulers and placement.
#include "app/app_test_util.h"
#include "app/commands/command_record.h"
#include "imaging/proc/image_kit_proc.h"
#include "imaging/ruler/ruler_box.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QStatusBar>
#include <functional>

namespace {

class ImageWindowFollows : public MainWindowTest {
protected:
    void run(uint8_t code, std::initializer_list<int32_t> args = {})
    {
        int i = 1;
        for (int32_t v : args)
            form->automatitem.SetArg(i++, v);
        form->runcode(code);
        QCoreApplication::processEvents();
    }
    // Rulers and status line shown, as the window's parts count in its size.
    void showParts()
    {
        for (const char* item : {"Lineal1", "Statusleiste1"})
            if (!form->Item(QLatin1String(item))->isChecked())
                form->Item(QLatin1String(item))->trigger();
        QCoreApplication::processEvents();
    }
    // The whole image in view without scrolling, the view no larger than the image plus
    // its one spare pixel unless the status line asked for the width, and the rulers as
    // long as the window.
    void expectFitted(Tchild* c, const char* step)
    {
        SCOPED_TRACE(step);
        TImageKit* v = c->imageKit;
        const int zw = v->ZoomedWidth(), zh = v->ZoomedHeight();
        EXPECT_FALSE(v->ScrollBarVisible(sbHorizontal));
        EXPECT_FALSE(v->ScrollBarVisible(sbVertical));
        EXPECT_EQ(v->DrawnWidth(), zw);
        EXPECT_EQ(v->DrawnHeight(), zh);
        EXPECT_EQ(v->ClientHeight(), zh + 1);
        if (v->ClientWidth() != zw + 1) {
            // Widened for the status line, or for the sub-window's own title bar.
            const QWidget* sub = c->parentWidget();
            EXPECT_EQ(sub->width(),
                      std::max(c->StatusLineWidth() + sub->width() - c->width(), sub->minimumSizeHint().width()));
        }
        EXPECT_EQ(c->horizontalRuler->width(), c->width());
        EXPECT_EQ(c->verticalRuler->height(), v->height());
    }
};

TEST_F(ImageWindowFollows, EverySizeChangeRefitsTheWindow)
{
    make();
    form->resize(1200, 900);
    showParts();
    Tchild* c = imageWindow(400, 300, clWhite);
    form->Item(QStringLiteral("AufBildgreanpassen1"))->trigger();
    QCoreApplication::processEvents();
    expectFitted(c, "fitted");
    struct Step {
        const char* name;
        std::function<void()> act;
        QSize size;
    } steps[] = {
        {"crop",
         [&] {
             c->imageKit->SelectRect(10, 10, 270, 130);
             form->Item(QStringLiteral("ZumBearbeitenausschneiden1"))->trigger();
         },
         // The selection holds both corner pixels.
         {261, 121}},
        {"rotate",
         [&] {
             run(cmdRotate, {90, 0});
         },
         {121, 261}},
        {"undo", [&] { run(cmdUndo); }, {261, 121}},
        {"paste",
         [&] {
             QImage clip(330, 210, QImage::Format_RGB32);
             clip.fill(Qt::blue);
             QApplication::clipboard()->setImage(clip);
             run(cmdPaste);
         },
         {330, 210}},
        {"resample",
         [&] {
             run(cmdResample, {500, 350, 0});
         },
         {500, 350}},
    };
    for (const Step& s : steps) {
        s.act();
        QCoreApplication::processEvents();
        ASSERT_EQ(QSize(c->imageKit->Bitmap()->Width(), c->imageKit->Bitmap()->Height()), s.size) << s.name;
        expectFitted(c, s.name);
    }
}

// A tiny image's window shows the size text whole, and new windows stay inside the area.
TEST_F(ImageWindowFollows, SmallAndChannelWindowsOpenInsideTheAreaWithTheirStatusLine)
{
    make();
    form->resize(900, 700);
    showParts();
    const QSize area = form->ClientArea()->viewport()->size();
    Tchild* tiny = imageWindow(23, 4, clWhite);
    run(cmdHSVChannels);
    QList<QWidget*> windows = form->MDIChildren();
    ASSERT_EQ(windows.size(), 4);
    for (QWidget* w : windows) {
        auto* c = qobject_cast<Tchild*>(w);
        ASSERT_NE(c, nullptr);
        if (c != tiny) {
            SCOPED_TRACE(c->windowTitle().toStdString());
            expectFitted(c, "channel");
            const QRect g = c->parentWidget()->geometry();
            EXPECT_GE(g.left(), 0);
            EXPECT_GE(g.top(), 0);
            EXPECT_LE(g.right() + 1, area.width());
            EXPECT_LE(g.bottom() + 1, area.height());
        }
        const QString size = QStringLiteral("23 x 4");
        c->imageKit->OnMouseMove(c->imageKit, 0, 22, 3);
        const QString text = c->statusBar->currentMessage();
        EXPECT_TRUE(text.startsWith(size)) << text.toStdString();
        EXPECT_LE(c->statusBar->fontMetrics().horizontalAdvance(text) + 18, c->statusBar->width());
    }
}

}  // namespace

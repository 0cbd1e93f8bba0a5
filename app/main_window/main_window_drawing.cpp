// Showing and hiding the bars and rulers of the main window and its image windows.
#include "app/image_window/image_window.h"
#include "app/main_window/main_window.h"
#include "app/image_window/drawing_style_picker.h"
#include "app/text/language.h"
#include "app/text/object_names.h"
#include "controls/combos/kit_combos.h"
#include "controls/edits/spin_edit.h"
#include "imaging/io/image_kit_io.h"
#include "imaging/kit/image_kit.h"
#include "imaging/ruler/ruler_box.h"
#include "platform/graphics/canvas.h"
#include "platform/core/number_format.h"
#include "platform/graphics/cursors.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/image_control.h"

#include <QAction>
#include <QFileInfo>
#include <QFrame>
#include <QLineEdit>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>
#include <cstdint>

void Tform1::standardBarClicked()
{
    QAction* a = Item(QLatin1String(ObjectName::MainWindow::Standardleiste1));
    const bool on = !options.standardbar;
    a->setChecked(on);
    options.standardbar = on;
    standardBar->setVisible(on);
}

void Tform1::drawingBarClicked()
{
    QAction* a = Item(QLatin1String(ObjectName::MainWindow::Zeichenleiste1));
    const bool on = !options.drawbar;
    a->setChecked(on);
    options.drawbar = on;
    drawingBar->setVisible(on);
}

void Tform1::rulerClicked()
{
    QAction* a = Item(QLatin1String(ObjectName::MainWindow::Lineal1));
    const bool on = !a->property("kShown").toBool();
    a->setProperty("kShown", on);
    a->setChecked(on);
    options.rulers = on;
    for (QWidget* w : MDIChildren())
        if (auto* child = qobject_cast<Tchild*>(w)) {
            child->horizontalRuler->setVisible(on);
            child->verticalRuler->setVisible(on);
        }
}

void Tform1::statusBarClicked()
{
    QAction* a = Item(QLatin1String(ObjectName::MainWindow::Statusleiste1));
    const bool on = !a->property("kShown").toBool();
    a->setProperty("kShown", on);
    a->setChecked(on);
    options.statusbar = on;
    // The layout keeps the bottom ruler above the status bar.
    for (QWidget* w : MDIChildren())
        if (auto* child = qobject_cast<Tchild*>(w))
            child->statusBar->setVisible(on);
}

// Command availability, the zoom box, window arrangement and the active child.
#include "app/batch/batch_runner.h"
#include "app/catalog/catalog_window.h"
#include "app/commands/command_table.h"
#include "app/image_window/image_window.h"
#include "app/main_window/main_window.h"
#include "app/main_window/startup_rules.h"
#include "app/text/object_names.h"
#include "app/text/translation.h"
#include "imaging/kit/image_kit.h"
#include "imaging/ruler/ruler_box.h"
#include "platform/core/exceptions.h"
#include "platform/ui/application.h"
#include "platform/ui/mdi_arrange.h"

#include <QAction>
#include <QComboBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QProgressBar>
#include "app/util/progress_throttle.h"
#include "app/util/cancellable_work.h"
#include <QStatusBar>
#include <QToolButton>

TChildKind ChildKind(const QWidget* child)
{
    if (!child)
        return ckNone;
    if (qobject_cast<const Tchild*>(child))
        return ckImage;
    if (child->objectName() == QLatin1String(ObjectName::CatalogWindow::Form))
        return ckCatalog;
    if (child->objectName() == QLatin1String(ObjectName::WelcomeWindow::Form))
        return ckWelcome;
    return ckOther;
}

QAction* Tform1::Item(const QString& name) const
{
    const auto it = items_.find(name);
    return it == items_.end() ? nullptr : it->second;
}

QMenu* Tform1::Menu(const QString& name) const
{
    const auto it = menus_.find(name);
    return it == menus_.end() ? nullptr : it->second;
}

void Tform1::setAvail(QObject* control, bool on)
{
    if (!control)
        return;
    control->setProperty("kAvailable", on);
    if (auto* a = qobject_cast<QAction*>(control))
        a->setEnabled(on);
    else if (auto* w = qobject_cast<QWidget*>(control))
        w->setEnabled(on);
}

bool Tform1::Available(const QObject* control) { return control && control->property("kAvailable").toBool(); }

void Tform1::wire(QAction* action, std::function<void()> handler)
{
    const QVariant avail = action->property("kAvailable");
    action->setEnabled(!avail.isValid() || avail.toBool());
    connect(action, &QAction::triggered, this, [handler = std::move(handler)] { TApplication::Guard(handler); });
}

void Tform1::wireButton(QToolButton* button, std::function<void()> handler)
{
    const QVariant avail = button->property("kAvailable");
    button->setEnabled(!avail.isValid() || avail.toBool());
    connect(button, &QToolButton::clicked, this, [handler = std::move(handler)] { TApplication::Guard(handler); });
}

void Tform1::multienabled(QMenu* item, bool enabled)
{
    if (!item)
        return;
    for (QAction* a : item->actions())
        if (!a->isSeparator())
            setAvail(a, enabled);
}

void Tform1::checkbuttonsenabled(bool closing)
{
    const int count = MDIChildCount();
    QWidget* active = ActiveMDIChild();
    const TChildKind kind = ChildKind(active);
    static const char* const fileCommands[] = {ObjectName::MainWindow::Speichern1,
                                               ObjectName::MainWindow::Speichernals1,
                                               ObjectName::MainWindow::AlleSpeichern1,
                                               "Schliessen1",
                                               "AlleSchliessen1",
                                               "Drucken1"};
    // The clipboard buttons act directly; the rest send commands that need an image window.
    static const char* const imageButtons[] = {ObjectName::MainWindow::CutBtn, "CopyBtn", "PasteBtn"};
    auto menu = [this](const char* name, bool on) { multienabled(Menu(QString::fromLatin1(name)), on); };
    auto button = [this](const char* name, bool on) { setAvail(Control<QToolButton>(QString::fromLatin1(name)), on); };
    auto files = [&](bool on) {
        for (const char* n : fileCommands)
            setAvail(Item(QString::fromLatin1(n)), on);
    };
    auto imageControls = [&](bool on) {
        for (const char* n : imageButtons)
            button(n, on);
        for (const TCommandEntry& command : CommandTable())
            if (command.needsImageWindow && command.button)
                button(command.button, on);
        setAvail(zoombox, on);
        setAvail(Item(QLatin1String(ObjectName::MainWindow::Zoomen1)), on);
    };

    if (count < (closing ? 2 : 1) || kind == ckWelcome) {
        files(false);
        for (const char* m :
             {ObjectName::MainWindow::Bearbeiten1, ObjectName::MainWindow::Farben1, ObjectName::MainWindow::Bild1,
              ObjectName::MainWindow::Fenster1, ObjectName::MainWindow::Katalog1})
            menu(m, false);
        imageControls(false);
        button(ObjectName::MainWindow::SaveBtn, false);
        button(ObjectName::MainWindow::printbtn, false);
        button(ObjectName::MainWindow::SpeedButton3, false);
        setAvail(Item(QLatin1String(ObjectName::MainWindow::DiashowdirektvomKatalog1)), false);
    } else if (kind == ckCatalog) {
        menu(ObjectName::MainWindow::Katalog1, true);
        files(true);
        menu(ObjectName::MainWindow::Fenster1, true);
        for (const char* m :
             {ObjectName::MainWindow::Bearbeiten1, ObjectName::MainWindow::Farben1, ObjectName::MainWindow::Bild1})
            menu(m, false);
        imageControls(false);
        button(ObjectName::MainWindow::SpeedButton3, false);
        button(ObjectName::MainWindow::SaveBtn, true);
        button(ObjectName::MainWindow::printbtn, true);
        setAvail(Item(QLatin1String(ObjectName::MainWindow::DiashowdirektvomKatalog1)), true);
    } else {
        menu(ObjectName::MainWindow::Katalog1, false);
        files(true);
        for (const char* m : {ObjectName::MainWindow::Bearbeiten1, ObjectName::MainWindow::Farben1,
                              ObjectName::MainWindow::Bild1, ObjectName::MainWindow::Fenster1})
            menu(m, true);
        imageControls(true);
        button(ObjectName::MainWindow::SaveBtn, true);
        button(ObjectName::MainWindow::printbtn, true);
        const Tchild* image = qobject_cast<const Tchild*>(active);
        const bool canUndo = image && image->imageKit->CanUndo();
        button(ObjectName::MainWindow::SpeedButton3, canUndo);
        setAvail(Item(QLatin1String(ObjectName::MainWindow::Rckgngig1)), canUndo);
        setAvail(Item(QLatin1String(ObjectName::MainWindow::DiashowdirektvomKatalog1)), false);
    }
}

QList<QWidget*> Tform1::MDIChildren() const
{
    QList<QWidget*> out;
    for (QMdiSubWindow* sub : mdi_->subWindowList(QMdiArea::CreationOrder))
        if (sub->widget())
            out.append(sub->widget());
    return out;
}

void Tform1::PinChild(QWidget* child, bool pinned)
{
    pinnedChild_ = child;
    pinned_ = pinned;
}

QWidget* Tform1::ActiveMDIChild() const
{
    if (pinned_)
        return pinnedChild_.data();
    // The current window even while the frame itself is not the active window.
    QMdiSubWindow* sub = mdi_->currentSubWindow();
    return sub ? sub->widget() : nullptr;
}

Tchild* Tform1::ActiveImageWindow() const { return qobject_cast<Tchild*>(ActiveMDIChild()); }

void Tform1::ActivateChild(QWidget* child)
{
    for (QMdiSubWindow* sub : mdi_->subWindowList())
        if (sub->widget() == child) {
            mdi_->setActiveSubWindow(sub);
            return;
        }
}

void Tform1::childActivated(QMdiSubWindow* sub)
{
    if (auto* child = sub ? qobject_cast<Tchild*>(sub->widget()) : nullptr)
        child->FormActivate();
    else if (auto* catalog = sub ? qobject_cast<Tkataform*>(sub->widget()) : nullptr)
        catalog->FormActivate();
    else
        checkbuttonsenabled(false);
}

void Tform1::zoomBoxChanged()
{
    Tchild* child = ActiveImageWindow();
    if (!child)
        return;
    const QString text = zoombox->currentText();
    if (text.toUpper() == TranslatedCaption(QStringLiteral("Fenstergröße")).toUpper()) {
        fitZoomToWindow(child);
        return;
    }
    child->imageKit->SetZoom(ZoomFromText(text));
}

void Tform1::zoomBoxKeyPress(QChar key)
{
    if (key == QLatin1Char('\r'))
        zoomBoxChanged();
}

void Tform1::fitZoomToWindow(Tchild* child)
{
    const int w = child->width() - (child->verticalRuler->isVisibleTo(child) ? child->verticalRuler->width() + 1 : 0);
    const int h = child->height() - (child->statusBar->isVisibleTo(child) ? child->statusBar->height() + 1 : 0) -
                  (child->horizontalRuler->isVisibleTo(child) ? child->horizontalRuler->height() + 1 : 0);
    // The view's sunken edge takes its share too, else the image's right and bottom
    // edges would lie under it.
    const int frame = 2 * child->imageKit->BorderWidth();
    TBitmap* bmp = child->imageKit->Bitmap();
    // An empty bitmap gives 0, which leaves the zoom alone.
    child->imageKit->SetZoom(ZoomToFit(w - frame, h - frame, bmp->Width(), bmp->Height()));
}

void Tform1::SetZoomOfActive(int zoom)
{
    if (Tchild* child = ActiveImageWindow())
        child->imageKit->SetZoom(zoom);
}

void Tform1::zoomToWindowClicked()
{
    zoombox->setEditText(TranslatedCaption(QStringLiteral("Fenstergröße")));
    zoomBoxChanged();
}

void Tform1::showProgressOf(QObject*, int percent)
{
    // Work the user may stop shows its own window, and may raise EAbort here.
    if (TCancellableWork* work = TCancellableWork::Current())
        work->Step(percent);
    // Long work reports here from the window's thread: the windows repaint meanwhile.
    TApplication::KeepResponsive();
    // A batch shows its own progress per image.
    if (batch_ && batch_->Running())
        return;
    Progress->Set(percent);
}

void Tform1::ResetProgress()
{
    if (Progress)
        Progress->Reset();
}

void Tform1::tileSideBySideClicked() { TileChildren(mdi_, tbVertical); }
void Tform1::tileStackedClicked() { TileChildren(mdi_, tbHorizontal); }
void Tform1::cascadeClicked() { CascadeChildren(mdi_); }
void Tform1::exitClicked() { close(); }

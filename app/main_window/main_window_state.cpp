// Command availability, the zoom box, window arrangement and the active child.
#include "app/batch/batch_runner.h"
#include "app/catalog/catalog_window.h"
#include "app/commands/command_table.h"
#include "app/image_window/image_window.h"
#include "app/main_window/bar_wiring.h"
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

void Tform1::wire(QAction* action, std::function<void()> handler) { WireItem(this, action, std::move(handler)); }

void Tform1::wireButton(QToolButton* button, std::function<void()> handler)
{
    WireButton(this, button, std::move(handler));
}

namespace {
// An item or button that long work's events set off is refused; its own run is work.
void runWired(const std::function<void()>& handler)
{
    if (RefuseWhileWorkRuns())
        return;
    const TWorkScope scope;
    TApplication::Guard(handler);
}
}  // namespace

void WireItem(QObject* context, QAction* action, std::function<void()> handler)
{
    const QVariant avail = action->property("kAvailable");
    action->setEnabled(!avail.isValid() || avail.toBool());
    QObject::connect(action, &QAction::triggered, context, [handler = std::move(handler)] { runWired(handler); });
}

void WireButton(QObject* context, QToolButton* button, std::function<void()> handler)
{
    const QVariant avail = button->property("kAvailable");
    button->setEnabled(!avail.isValid() || avail.toBool());
    QObject::connect(button, &QToolButton::clicked, context, [handler = std::move(handler)] { runWired(handler); });
}

void Tform1::multienabled(QMenu* item, bool enabled)
{
    if (!item)
        return;
    for (QAction* a : item->actions())
        if (!a->isSeparator())
            setAvail(a, enabled);
}

void Tform1::UpdateAvailability(bool closing)
{
    // A batch's windows come and go with every image: menus and bars would be switched
    // (and repainted) twice an image. They follow once the run has ended.
    if (batch_ && batch_->HoldsAvailability())
        return;
    namespace mw = ObjectName::MainWindow;
    const int count = MDIChildCount();
    QWidget* active = ActiveMDIChild();
    const TChildKind kind = ChildKind(active);
    const bool none = count < (closing ? 2 : 1) || kind == ckWelcome;
    const bool catalog = !none && kind == ckCatalog;
    // Image commands: any child but a catalog or the welcome window.
    const bool image = !none && !catalog;
    const Tchild* imageWindow = qobject_cast<const Tchild*>(active);
    const bool canUndo = image && imageWindow && imageWindow->imageKit->CanUndo();
    const std::array<bool, 4> state{none, catalog, image, canUndo};
    if (availableFor_ == state)
        return;
    availableFor_ = state;

    auto menu = [this](const char* name, bool on) { multienabled(Menu(QString::fromLatin1(name)), on); };
    auto button = [this](const char* name, bool on) {
        const QString key = QString::fromLatin1(name);
        auto it = availabilityButtons_.find(key);
        if (it == availabilityButtons_.end() || !it->second)
            it = availabilityButtons_.insert_or_assign(key, Control<QToolButton>(key)).first;
        setAvail(it->second, on);
    };
    for (const char* n :
         {mw::Speichern1, mw::Speichernals1, mw::AlleSpeichern1, mw::Schliessen1, mw::AlleSchliessen1, mw::Drucken1})
        setAvail(Item(QString::fromLatin1(n)), !none);
    menu(mw::Katalog1, catalog);
    menu(mw::Fenster1, !none);
    for (const char* m : {mw::Bearbeiten1, mw::Farben1, mw::Bild1})
        menu(m, image);
    // The clipboard buttons act directly; the rest send commands that need an image window.
    for (const char* n : {mw::CutBtn, mw::CopyBtn, mw::PasteBtn})
        button(n, image);
    setAvail(zoombox, image);
    setAvail(Item(QLatin1String(mw::Zoomen1)), image);
    button(mw::SaveBtn, !none);
    button(mw::printbtn, !none);
    setAvail(Item(QLatin1String(mw::DiashowdirektvomKatalog1)), catalog);
    // The commands' own items and buttons, by their rows.
    for (const TCommandEntry& command : CommandTable()) {
        if (command.when == TCommandWhen::Always)
            continue;
        const bool on = command.when == TCommandWhen::Undo ? canUndo : image;
        if (command.button.name)
            button(command.button.name, on);
        for (const TCommandItem& item : command.items)
            if (item.name)
                setAvail(Item(QString::fromLatin1(item.name)), on);
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
        UpdateAvailability(false);
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

// Command availability, the zoom box, window arrangement and the active child.
#include "app/batch/batch_runner.h"
#include "app/catalog/catalog_window.h"
#include "app/commands/command_table.h"
#include "app/image_window/image_window.h"
#include "app/main_window/main_window.h"
#include "app/main_window/startup_rules.h"
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
#include <QStatusBar>
#include <QToolButton>

TChildKind ChildKind(const QWidget* child)
{
    if (!child)
        return ckNone;
    if (qobject_cast<const Tchild*>(child))
        return ckImage;
    if (child->objectName() == QLatin1String("kataform"))
        return ckCatalog;
    if (child->objectName() == QLatin1String("infoform"))
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

bool Tform1::Available(const QObject* control)
{
    return control && control->property("kAvailable").toBool();
}

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
    static const char* const fileCommands[] = {"Speichern1", "Speichernals1", "AlleSpeichern1",
                                               "Schliessen1", "AlleSchliessen1", "Drucken1"};
    // The clipboard buttons act directly; the rest send commands that need an image window.
    static const char* const imageButtons[] = {"CutBtn", "CopyBtn", "PasteBtn"};
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
        setAvail(Item(QStringLiteral("Zoomen1")), on);
    };

    if (count < (closing ? 2 : 1) || kind == ckWelcome) {
        files(false);
        for (const char* m : {"Bearbeiten1", "Farben1", "Bild1", "Fenster1", "Katalog1"})
            menu(m, false);
        imageControls(false);
        button("SaveBtn", false);
        button("printbtn", false);
        button("SpeedButton3", false);
        setAvail(Item(QStringLiteral("DiashowdirektvomKatalog1")), false);
    } else if (kind == ckCatalog) {
        menu("Katalog1", true);
        files(true);
        menu("Fenster1", true);
        for (const char* m : {"Bearbeiten1", "Farben1", "Bild1"})
            menu(m, false);
        imageControls(false);
        button("SpeedButton3", false);
        button("SaveBtn", true);
        button("printbtn", true);
        setAvail(Item(QStringLiteral("DiashowdirektvomKatalog1")), true);
    } else {
        menu("Katalog1", false);
        files(true);
        for (const char* m : {"Bearbeiten1", "Farben1", "Bild1", "Fenster1"})
            menu(m, true);
        imageControls(true);
        button("SaveBtn", true);
        button("printbtn", true);
        const Tchild* image = qobject_cast<const Tchild*>(active);
        const bool canUndo = image && image->ImageKit1->CanUndo();
        button("SpeedButton3", canUndo);
        setAvail(Item(QStringLiteral("Rckgngig1")), canUndo);
        setAvail(Item(QStringLiteral("DiashowdirektvomKatalog1")), false);
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

Tchild* Tform1::ActiveImageWindow() const
{
    return qobject_cast<Tchild*>(ActiveMDIChild());
}

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

void Tform1::zoomboxChange()
{
    Tchild* child = ActiveImageWindow();
    if (!child)
        return;
    const QString text = zoombox->currentText();
    if (text.toUpper() == TranslatedCaption(QStringLiteral("Fenstergröße")).toUpper()) {
        fitZoomToWindow(child);
        return;
    }
    child->ImageKit1->SetZoom(ZoomFromText(text));
}

void Tform1::zoomboxKeyPress(QChar key)
{
    if (key == QLatin1Char('\r'))
        zoomboxChange();
}

void Tform1::fitZoomToWindow(Tchild* child)
{
    const int w = child->width() - (child->RulerBox2->isVisibleTo(child) ? child->RulerBox2->width() + 1 : 0);
    const int h = child->height() -
                  (child->StatusBar1->isVisibleTo(child) ? child->StatusBar1->height() + 1 : 0) -
                  (child->RulerBox1->isVisibleTo(child) ? child->RulerBox1->height() + 1 : 0);
    // The view's sunken edge takes its share too, else the image's right and bottom
    // edges would lie under it.
    const int frame = 2 * child->ImageKit1->BorderWidth();
    TBitmap* bmp = child->ImageKit1->Bitmap();
    // An empty bitmap gives 0, which leaves the zoom alone.
    child->ImageKit1->SetZoom(ZoomToFit(w - frame, h - frame, bmp->Width(), bmp->Height()));
}

void Tform1::SetZoomOfActive(int zoom)
{
    if (Tchild* child = ActiveImageWindow())
        child->ImageKit1->SetZoom(zoom);
}

void Tform1::Fenstergre1Click()
{
    zoombox->setEditText(TranslatedCaption(QStringLiteral("Fenstergröße")));
    zoomboxChange();
}

void Tform1::onprogressany(QObject*, int percent)
{
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

void Tform1::Nebeneinander1Click() { TileChildren(mdi_, tbVertical); }
void Tform1::Untereinander1Click() { TileChildren(mdi_, tbHorizontal); }
void Tform1::bereinander1Click() { CascadeChildren(mdi_); }
void Tform1::Beenden1Click() { close(); }


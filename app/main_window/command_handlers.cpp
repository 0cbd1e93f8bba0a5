// Menu and tool-bar handlers that run a command with more than its row says: a new
// catalog asks for its files, a scan shows its windows before the availability follows.
#include "app/catalog/catalog_window.h"
#include "app/image_window/image_window.h"
#include "app/main_window/main_window.h"
#include "app/text/object_names.h"
#include "platform/ui/application.h"

#include <QAction>
#include <QToolButton>

// A new catalog starts by asking for its files.
void Tform1::newCatalogClicked()
{
    runcode(cmdNewCatalog);
    if (auto* k = qobject_cast<Tkataform*>(ActiveMDIChild()))
        k->addFilesClicked();
}

void Tform1::scanClicked()
{
    runcode(cmdScan);
    TApplication::ProcessMessages();
    UpdateAvailability(false);
}

void Tform1::wireCommands()
{
    // The commands' own items and buttons run their code, with the row's preset.
    wireCommandRows();
    wire(Item(ObjectName::MainWindow::Scanne1), [this] { scanClicked(); });
    wireButton(Control<QToolButton>(ObjectName::MainWindow::scanbtn), [this] { scanClicked(); });
    wire(Item(ObjectName::MainWindow::NeuenKatalogerstellen1), [this] { newCatalogClicked(); });
    wire(Item(ObjectName::MainWindow::Drucken1), [this] { printClicked(); });
    wireButton(Control<QToolButton>(ObjectName::MainWindow::printbtn), [this] { printClicked(); });
    wireFileCommands();
    wireDialogCommands();
    wireSlideShow();
    wireBatch();
    wireDirectCommands();
}

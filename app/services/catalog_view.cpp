// Finding the catalog among the main window's children.
#include "app/services/catalog_view.h"

#include <QWidget>

TCatalogView* CatalogViewOf(QWidget* child) { return dynamic_cast<TCatalogView*>(child); }

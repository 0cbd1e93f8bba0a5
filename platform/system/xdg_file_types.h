// The desktop's side of file-type bindings.
#pragma once
#include <QString>
#include <QStringList>

// The desktop's side of file-type bindings (freedesktop.org): the program's desktop
// entry under $XDG_DATA_HOME/applications lists the MIME types it opens,
// $XDG_CONFIG_HOME/mimeapps.list names it as their default, and the catalog type,
// which the system does not know, comes from a MIME package of its own.

// The desktop entry's file name.
QString XdgDesktopId();
QString XdgDataHome();
QString XdgConfigHome();
QString XdgDesktopFileName();
QString XdgMimeAppsFileName();
QString XdgCatalogPackageFileName();

// The catalog files' MIME type.
QString XdgCatalogMimeType();
// The MIME type for a file extension (with or without the dot, any letter case);
// empty for one the program does not bind.
QString XdgMimeTypeForExtension(const QString& extension);

// Makes the program (started as programPath with the file as its argument) the
// default for the type. The catalog type also gets its MIME package, with the
// description as its comment.
void XdgRegisterMimeType(const QString& mimeType, const QString& programPath, const QString& description);
// Removes the program as the type's default, only where it still is the default,
// and the type from the program's desktop entry (the entry goes with its last type).
void XdgUnregisterMimeType(const QString& mimeType);
// True when mimeapps.list names the program first for the type.
bool XdgIsDefaultFor(const QString& mimeType);
// The types the program's desktop entry lists.
QStringList XdgDesktopMimeTypes();

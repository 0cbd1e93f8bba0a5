// Filter strings of the file dialogs: description and mask pairs.
#pragma once
#include <QString>
#include <QStringList>

// Filter strings of the file dialogs: description and mask pairs, every part separated by
// "|"; a mask lists one or more patterns separated by ";".

// The mask of filter `index` (1-based); empty when there is no such pair.
QString FilterMaskAt(const QString& filter, int index);
// Number of complete description/mask pairs.
int FilterCount(const QString& filter);
// The filters as the file dialog's name filters, "description (pattern pattern)".
QStringList DialogNameFilters(const QString& filter);
// The extension, with its dot, of the first pattern of a mask ("*.jpg;*.jpeg" gives
// ".jpg"); empty when that pattern has no fixed extension ("*.*", "*", "*.jp?").
QString MaskExtension(const QString& mask);
// The name's last extension replaced by `ext` (with its dot); a name without one gets
// `ext` appended. Dots in folder names do not count.
QString ReplaceExtension(const QString& name, const QString& ext);
// True when the file part of the name has an extension.
bool HasExtension(const QString& name);
// A folder as the dialogs store it: without a trailing separator, except for a root
// ("/", a drive root such as "C:\").
QString NormalizedInitialDir(const QString& dir);

// The kit's main form and a form's window placement in ini files.
#pragma once
#include "platform/system/ini_file.h"

#include <QString>
#include <QWidget>

// The kit's idea of the application's main form; none unless set.
QWidget* KitMainForm();
void SetKitMainForm(QWidget* form);

// A form's window placement in a section: "Flags", "ShowCmd", "PixelsPerInch" and the
// screen-specific "MinMaxPos" and "NormPos" (the normal client rectangle as left, top,
// right, bottom). Reading first gathers every value and only then changes the form, so
// that a bad file leaves the form as it was; a rectangle no screen holds any more is
// brought onto the nearest one.
void WriteFormPlacement(QWidget* form, TCustomIniFile* ini, const QString& section);
void ReadFormPlacement(QWidget* form, TCustomIniFile* ini, const QString& section, bool loadState, bool loadPosition);

// The scanner chosen as default.
#pragma once
#include <QByteArray>

// The scanner chosen in the source selection, kept in the data directory. Empty when
// none was chosen (the source manager then opens its first device).
QByteArray ScanDefaultSource();
void SetScanDefaultSource(const QByteArray& deviceName);

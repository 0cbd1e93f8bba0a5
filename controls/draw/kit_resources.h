// Resource names, bitmaps and cursors of the control kit.
#pragma once
#include "platform/graphics/cursors.h"

#include <QString>
#include <memory>

class TBitmap;

// Screen cursors of the kit.
constexpr TCursor crKitHand = 14000;  // "KIT_HANDCUR"
constexpr TCursor crKitDrag = 14001;  // "KIT_DRAGCUR"

// The system's combo-box arrow bitmap.
constexpr int OBM_COMBO = 32738;

// A resource identifier: a name or a number.
struct TResId {
    QString Name;
    int Number = -1;
    static TResId Named(const QString& name) { return TResId{name, -1}; }
    static TResId Numbered(int n) { return TResId{QString(), n}; }
    bool IsNumber() const { return Name.isEmpty(); }
};

// Where a bitmap resource comes from: the program's own resources or the system's.
enum TResModule { rmNone, rmKit };

// Raises EResNotFound with "Resource %s not found" (the name, or the number).
[[noreturn]] void RaiseMissingResource(const TResId& id);
// The bitmap resource, or null; no error escapes. rmNone asks the system's bitmaps.
std::unique_ptr<TBitmap> LoadResourceBitmap(TResModule module, const TResId& id);

// Registers "KIT_HANDCUR" and "KIT_DRAGCUR" as screen cursors 14000 and 14001; runs
// once, later calls do nothing.
void RegisterKitCursors();

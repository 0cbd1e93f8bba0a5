// The desktop's background picture.
#pragma once
#include <QString>

// Why the desktop's background did not change.
enum TWallpaperFailure { wfNone, wfNoSettings, wfNotTaken };

// The desktop's background picture through GSettings (org.gnome.desktop.background);
// tiled selects "wallpaper", else "centered". True only when the settings read back as
// written (a write the desktop's settings service refuses fails only on standard error);
// else false with the reason.
bool SetDesktopWallpaper(const QString& fileName, bool tiled, TWallpaperFailure* failure = nullptr);
// A string key of the background settings as the desktop holds it ("" when none).
QString DesktopWallpaperSetting(const QString& key);

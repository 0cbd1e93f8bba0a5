// The desktop's background picture.
#pragma once
#include <QString>

// The desktop's background picture through GSettings (org.gnome.desktop.background).
// False with a reason when the desktop has no such settings; tiled selects
// "wallpaper", else "centered".
bool SetDesktopWallpaper(const QString& fileName, bool tiled, QString* error = nullptr);
// A string key of the background settings as the desktop holds it ("" when none).
QString DesktopWallpaperSetting(const QString& key);

// Default ini names, registry keys and sections of the placement components.
#pragma once
#include "platform/system/ini_file.h"

#include <QObject>
#include <QString>
#include <functional>

// Settings of the kit for default storage names; nothing in this program sets them.
struct TKitIniSettings {
    // Decides the default ini file name when set.
    std::function<QString()> DefaultIniNameHook;
    // Name the registry key after the application title (when it is not empty).
    bool UseApplicationTitle = false;
    // Put before the program's key with a "\" when not empty.
    QString CompanyName;
};
TKitIniSettings& KitIniSettings();

// The executable's file name with the extension ".INI".
QString DefaultIniName();
// "Software\" [company "\"] title or executable name.
QString DefaultRegistryKey();
// Section for a component: a form's class name; a control's name after its form's
// class name (or its parent's name); "Form.Name" for another component a form owns;
// else the name.
QString DefaultSection(const QObject* component);

// Read and write through a registry ini file or an ini file; without one, reading gives
// the default and writing does nothing. In an ini file a value that begins and ends with
// the same kind of quote is stored in one more pair of double quotes, so that it reads
// back with its quotes; the registry stores it unchanged.
QString IniReadString(TCustomIniFile* ini, const QString& section, const QString& ident, const QString& def);
void IniWriteString(TCustomIniFile* ini, const QString& section, const QString& ident, const QString& value);
int IniReadInteger(TCustomIniFile* ini, const QString& section, const QString& ident, int def);
void IniWriteInteger(TCustomIniFile* ini, const QString& section, const QString& ident, int value);

// Keys that belong to one screen size: ident + "(WxH)". Writing stores under the
// suffixed and the plain key; reading prefers the suffixed key, falling back to the
// plain one when the suffixed value is empty.
QString ScreenSpecificKey(const QString& ident);
QString IniReadScreenString(TCustomIniFile* ini, const QString& section, const QString& ident, const QString& def);
void IniWriteScreenString(TCustomIniFile* ini, const QString& section, const QString& ident, const QString& value);

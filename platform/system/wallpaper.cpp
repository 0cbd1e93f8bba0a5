// Setting and reading the desktop's background picture through GSettings.
// GLib's headers first: they use names that Qt's keywords would replace.
#include <gio/gio.h>

#include "platform/system/wallpaper.h"

#include <QUrl>

namespace {

constexpr char kSchema[] = "org.gnome.desktop.background";

// The settings object, or null when the schema is not installed.
GSettings* openSettings()
{
    GSettingsSchemaSource* source = g_settings_schema_source_get_default();
    if (!source)
        return nullptr;
    GSettingsSchema* schema = g_settings_schema_source_lookup(source, kSchema, TRUE);
    if (!schema)
        return nullptr;
    g_settings_schema_unref(schema);
    return g_settings_new(kSchema);
}

bool hasKey(GSettings* settings, const char* key)
{
    GSettingsSchema* schema = nullptr;
    g_object_get(settings, "settings-schema", &schema, nullptr);
    const bool has = schema && g_settings_schema_has_key(schema, key);
    if (schema)
        g_settings_schema_unref(schema);
    return has;
}

}  // namespace

bool SetDesktopWallpaper(const QString& fileName, bool tiled, QString* error)
{
    GSettings* settings = openSettings();
    if (!settings) {
        if (error)
            *error = QStringLiteral("The desktop has no background settings (") + QLatin1String(kSchema) +
                     QStringLiteral(").");
        return false;
    }
    const QByteArray uri = QUrl::fromLocalFile(fileName).toEncoded();
    bool ok = g_settings_set_string(settings, "picture-uri", uri.constData());
    if (hasKey(settings, "picture-uri-dark"))
        ok = g_settings_set_string(settings, "picture-uri-dark", uri.constData()) && ok;
    ok = g_settings_set_string(settings, "picture-options", tiled ? "wallpaper" : "centered") && ok;
    g_settings_sync();
    g_object_unref(settings);
    if (!ok && error)
        *error = QStringLiteral("The desktop refused the background settings.");
    return ok;
}

QString DesktopWallpaperSetting(const QString& key)
{
    GSettings* settings = openSettings();
    if (!settings)
        return {};
    QString out;
    const QByteArray k = key.toUtf8();
    if (hasKey(settings, k.constData())) {
        gchar* v = g_settings_get_string(settings, k.constData());
        out = QString::fromUtf8(v);
        g_free(v);
    }
    g_object_unref(settings);
    return out;
}

// Setting and reading the desktop's background picture through GSettings.
// GLib's headers first: they use names that Qt's keywords would replace.
#include <gio/gio.h>

#include "platform/system/wallpaper.h"

#include <QUrl>
#include <utility>
#include <vector>

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

bool SetDesktopWallpaper(const QString& fileName, bool tiled, TWallpaperFailure* failure)
{
    auto fail = [failure](TWallpaperFailure why) {
        if (failure)
            *failure = why;
        return false;
    };
    GSettings* settings = openSettings();
    if (!settings)
        return fail(wfNoSettings);
    const QByteArray uri = QUrl::fromLocalFile(fileName).toEncoded();
    std::vector<std::pair<const char*, QByteArray>> values{{"picture-uri", uri},
                                                           {"picture-options", tiled ? "wallpaper" : "centered"}};
    if (hasKey(settings, "picture-uri-dark"))
        values.emplace_back("picture-uri-dark", uri);
    bool ok = true;
    for (const auto& [key, value] : values)
        ok = g_settings_set_string(settings, key, value.constData()) && ok;
    // The write reaches the settings service only now; one it refuses is undone, so the
    // values read back tell whether the desktop took them.
    g_settings_sync();
    for (const auto& [key, value] : values) {
        gchar* now = g_settings_get_string(settings, key);
        ok = ok && value == now;
        g_free(now);
    }
    g_object_unref(settings);
    if (!ok)
        return fail(wfNotTaken);
    if (failure)
        *failure = wfNone;
    return true;
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

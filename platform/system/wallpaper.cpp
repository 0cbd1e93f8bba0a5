// Setting and reading the desktop's background picture through GSettings.
// GLib's headers first: they use names that Qt's keywords would replace.
#include <gio/gio.h>

#include "platform/system/wallpaper.h"

#include <QUrl>
#include <dlfcn.h>
#include <utility>
#include <vector>

namespace {

// The settings library (and the ones it pulls in) loads with the first wallpaper set or
// read, not with the program.
struct TSettingsLibrary {
#define K_GIO_FUNCTIONS(X) \
    X(g_settings_schema_source_get_default) \
    X(g_settings_schema_source_lookup) \
    X(g_settings_schema_unref) \
    X(g_settings_schema_has_key) \
    X(g_settings_new) \
    X(g_settings_set_string) \
    X(g_settings_get_string) \
    X(g_settings_sync) \
    X(g_object_get) \
    X(g_object_unref) \
    X(g_free)
#define K_GIO_POINTER(fn) decltype(&::fn) fn = nullptr;
    K_GIO_FUNCTIONS(K_GIO_POINTER)
#undef K_GIO_POINTER
    bool Loaded = false;

    TSettingsLibrary()
    {
        // Looked up through it, its own dependencies answer for the object and base calls.
        void* const gio = ::dlopen("libgio-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
        if (!gio)
            return;
        bool all = true;
#define K_GIO_RESOLVE(fn) \
    fn = reinterpret_cast<decltype(fn)>(::dlsym(gio, #fn)); \
    all = all && fn;
        K_GIO_FUNCTIONS(K_GIO_RESOLVE)
#undef K_GIO_RESOLVE
#undef K_GIO_FUNCTIONS
        Loaded = all;
    }
};

const TSettingsLibrary& gio()
{
    static const TSettingsLibrary library;
    return library;
}

constexpr char kSchema[] = "org.gnome.desktop.background";

// The settings object, or null when the schema is not installed.
GSettings* openSettings()
{
    if (!gio().Loaded)
        return nullptr;
    GSettingsSchemaSource* source = gio().g_settings_schema_source_get_default();
    if (!source)
        return nullptr;
    GSettingsSchema* schema = gio().g_settings_schema_source_lookup(source, kSchema, TRUE);
    if (!schema)
        return nullptr;
    gio().g_settings_schema_unref(schema);
    return gio().g_settings_new(kSchema);
}

bool hasKey(GSettings* settings, const char* key)
{
    GSettingsSchema* schema = nullptr;
    gio().g_object_get(settings, "settings-schema", &schema, nullptr);
    const bool has = schema && gio().g_settings_schema_has_key(schema, key);
    if (schema)
        gio().g_settings_schema_unref(schema);
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
        ok = gio().g_settings_set_string(settings, key, value.constData()) && ok;
    // The write reaches the settings service only now; one it refuses is undone, so the
    // values read back tell whether the desktop took them.
    gio().g_settings_sync();
    for (const auto& [key, value] : values) {
        gchar* now = gio().g_settings_get_string(settings, key);
        ok = ok && value == now;
        gio().g_free(now);
    }
    gio().g_object_unref(settings);
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
        gchar* v = gio().g_settings_get_string(settings, k.constData());
        out = QString::fromUtf8(v);
        gio().g_free(v);
    }
    gio().g_object_unref(settings);
    return out;
}

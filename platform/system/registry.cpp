// The registry stand-in: keys and values kept in one file in the data directory.
#include "platform/system/registry.h"

#include "platform/core/data_directory.h"
#include "platform/core/streams.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QStringList>

namespace {

// One JSON object: lower-cased full key path -> {"path": spelling, "values": {name: value}}.
// Value names compare without regard to case as well; the first spelling is kept.

const char* rootName(HKEY root)
{
    switch (root) {
    case HKEY_CLASSES_ROOT: return "HKEY_CLASSES_ROOT";
    case HKEY_CURRENT_USER: return "HKEY_CURRENT_USER";
    case HKEY_LOCAL_MACHINE: return "HKEY_LOCAL_MACHINE";
    case HKEY_USERS: return "HKEY_USERS";
    }
    return "HKEY_CURRENT_USER";
}

QString normalise(const QString& path)
{
    return path.split(QLatin1Char('\\'), Qt::SkipEmptyParts).join(QLatin1Char('\\'));
}

QJsonObject load()
{
    const QString name = TRegistry::StoreFileName();
    if (!QFileInfo(name).isFile())
        return {};
    QByteArray data;
    try {
        data = ReadWholeFile(name);
    } catch (const EStreamError& e) {
        throw ERegistryException(e.Message());
    }
    QJsonParseError err{};
    const QJsonDocument doc = QJsonDocument::fromJson(data, &err);
    if (err.error != QJsonParseError::NoError || !doc.isObject())
        throw ERegistryException(QStringLiteral("The registry file %1 is damaged").arg(name));
    const QJsonObject keys = doc.object();
    for (auto it = keys.begin(); it != keys.end(); ++it) {
        const QJsonObject k = it.value().toObject();
        if (!it.value().isObject() || !k.value(QStringLiteral("path")).isString() ||
            !k.value(QStringLiteral("values")).isObject())
            throw ERegistryException(QStringLiteral("The registry file %1 is damaged").arg(name));
        const QJsonObject values = k.value(QStringLiteral("values")).toObject();
        for (auto v = values.begin(); v != values.end(); ++v)
            if (!v.value().isString())
                throw ERegistryException(QStringLiteral("The registry file %1 is damaged").arg(name));
    }
    return keys;
}

void save(const QJsonObject& keys)
{
    try {
        WriteFileSafely(TRegistry::StoreFileName(), QJsonDocument(keys).toJson(QJsonDocument::Indented));
    } catch (const EStreamError& e) {
        throw ERegistryException(e.Message());
    }
}

QString findValueName(const QJsonObject& values, const QString& name)
{
    for (auto it = values.begin(); it != values.end(); ++it)
        if (it.key().compare(name, Qt::CaseInsensitive) == 0)
            return it.key();
    return QString();
}

bool hasValue(const QJsonObject& values, const QString& name)
{
    for (auto it = values.begin(); it != values.end(); ++it)
        if (it.key().compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

}  // namespace

TRegistry::TRegistry() = default;
TRegistry::~TRegistry() = default;

QString TRegistry::StoreFileName() { return QDir(DataDirectory()).filePath(QStringLiteral("registry.json")); }

void TRegistry::SetRootKey(HKEY root)
{
    CloseKey();
    root_ = root;
}

QString TRegistry::resolve(const QString& key) const
{
    if (key.startsWith(QLatin1Char('\\')) || !open_ || current_.isEmpty())
        return normalise(key);
    return normalise(current_ + QLatin1Char('\\') + key);
}

QString TRegistry::fullPath(const QString& path) const
{
    QString full = QString::fromLatin1(rootName(root_));
    if (!path.isEmpty())
        full += QLatin1Char('\\') + path;
    return full;
}

bool TRegistry::OpenKey(const QString& key, bool canCreate)
{
    const QString path = resolve(key);
    QJsonObject keys = load();
    if (!path.isEmpty() && !keys.contains(fullPath(path).toLower())) {
        if (!canCreate)
            return false;
        // Create the key and every parent that is missing.
        const QStringList parts = path.split(QLatin1Char('\\'));
        QString sub;
        for (const QString& part : parts) {
            sub = sub.isEmpty() ? part : sub + QLatin1Char('\\') + part;
            const QString id = fullPath(sub).toLower();
            if (!keys.contains(id))
                keys.insert(id, QJsonObject{{QStringLiteral("path"), fullPath(sub)},
                                            {QStringLiteral("values"), QJsonObject()}});
        }
        save(keys);
    }
    current_ = path;
    open_ = true;
    return true;
}

void TRegistry::CloseKey()
{
    current_.clear();
    open_ = false;
}

bool TRegistry::KeyExists(const QString& key)
{
    const QString path = resolve(key);
    if (path.isEmpty())
        return true;
    return load().contains(fullPath(path).toLower());
}

bool TRegistry::DeleteKey(const QString& key)
{
    const QString path = resolve(key);
    if (path.isEmpty())
        return false;
    QJsonObject keys = load();
    const QString id = fullPath(path).toLower();
    if (!keys.contains(id))
        return false;
    const QString prefix = id + QLatin1Char('\\');
    for (const QString& k : keys.keys())
        if (k == id || k.startsWith(prefix))
            keys.remove(k);
    save(keys);
    const QString cur = current_.toLower();
    const QString low = path.toLower();
    if (open_ && (cur == low || cur.startsWith(low + QLatin1Char('\\'))))
        CloseKey();
    return true;
}

QString TRegistry::ReadString(const QString& name)
{
    const QJsonObject keys = load();
    const QJsonObject values =
        keys.value(fullPath(current_).toLower()).toObject().value(QStringLiteral("values")).toObject();
    if (!hasValue(values, name))
        return QString();
    return values.value(findValueName(values, name)).toString();
}

void TRegistry::WriteString(const QString& name, const QString& value)
{
    QJsonObject keys = load();
    const QString id = fullPath(current_).toLower();
    QJsonObject k = keys.value(id).toObject();
    if (k.isEmpty()) {
        if (!current_.isEmpty())
            throw ERegistryException(QStringLiteral("Failed to set data for '%1'").arg(name));
        k.insert(QStringLiteral("path"), fullPath(current_));
    }
    QJsonObject values = k.value(QStringLiteral("values")).toObject();
    const QString stored = findValueName(values, name);
    values.insert(hasValue(values, name) ? stored : name, value);
    k.insert(QStringLiteral("values"), values);
    keys.insert(id, k);
    save(keys);
}

bool TRegistry::ValueExists(const QString& name)
{
    const QJsonObject values =
        load().value(fullPath(current_).toLower()).toObject().value(QStringLiteral("values")).toObject();
    return hasValue(values, name);
}

bool TRegistry::DeleteValue(const QString& name)
{
    QJsonObject keys = load();
    const QString id = fullPath(current_).toLower();
    QJsonObject k = keys.value(id).toObject();
    QJsonObject values = k.value(QStringLiteral("values")).toObject();
    if (!hasValue(values, name))
        return false;
    values.remove(findValueName(values, name));
    k.insert(QStringLiteral("values"), values);
    keys.insert(id, k);
    save(keys);
    return true;
}

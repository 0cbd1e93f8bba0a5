// The registry stand-in (TRegistry).
#pragma once
#include "platform/core/exceptions.h"

#include <QString>

// Stand-in for the system registry: keys hold named string values (the empty name
// is the key's default value). Key names compare without regard to case. The data
// lives in one file in the data directory, saved after every change.

KANDRIVEL_EXCEPTION(ERegistryException, Exception)

enum HKEY : int {
    HKEY_CLASSES_ROOT = 0,
    HKEY_CURRENT_USER = 1,
    HKEY_LOCAL_MACHINE = 2,
    HKEY_USERS = 3,
};

class TRegistry {
public:
    TRegistry();
    ~TRegistry();
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    HKEY RootKey() const { return root_; }
    // Closes the current key.
    void SetRootKey(HKEY root);

    // A key starting with "\" is taken from the root, any other relative to the key
    // open now (or the root). With canCreate the key and its parents are created.
    bool OpenKey(const QString& key, bool canCreate);
    void CloseKey();
    // The open key's path below the root ("" when none is open).
    const QString& CurrentPath() const { return current_; }
    bool HasCurrentKey() const { return open_; }

    bool KeyExists(const QString& key);
    // Deletes the key with everything below it; false when it did not exist.
    bool DeleteKey(const QString& key);

    // Values of the open key; a missing value reads as "".
    QString ReadString(const QString& name);
    void WriteString(const QString& name, const QString& value);
    bool ValueExists(const QString& name);
    bool DeleteValue(const QString& name);

    // The file that holds every key.
    static QString StoreFileName();

private:
    QString resolve(const QString& key) const;
    QString fullPath(const QString& path) const;

    HKEY root_ = HKEY_CURRENT_USER;
    QString current_;
    bool open_ = false;
};

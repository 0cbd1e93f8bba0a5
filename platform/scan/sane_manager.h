// The scanner source manager: the SANE library, loaded at run time and unloaded again
// within one conversation. Nothing links against it, so a machine without it still
// runs everything else.
#pragma once

#include <sane/sane.h>

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

struct TSaneDevice {
    QByteArray Name;  // what sane_open takes
    QString Vendor;
    QString Model;
    QString Type;
};

class TSaneManager {
public:
    // The library file handed to the loader; tests point it elsewhere.
    static QString LibraryName();
    static void SetLibraryName(const QString& name);

    TSaneManager() = default;
    ~TSaneManager();
    TSaneManager(const TSaneManager&) = delete;
    TSaneManager& operator=(const TSaneManager&) = delete;

    // Loads the library and resolves every entry; on any miss nothing stays loaded.
    bool Load();
    void Unload();
    bool Loaded() const { return lib_ != nullptr; }

    SANE_Status Init();
    void Exit();
    // At most kMaxDevices entries; a list without an end marker is cut there.
    SANE_Status GetDevices(std::vector<TSaneDevice>& out);
    SANE_Status Open(const QByteArray& name, SANE_Handle* handle);
    void Close(SANE_Handle handle);
    const SANE_Option_Descriptor* OptionDescriptor(SANE_Handle handle, int option);
    SANE_Status ControlOption(SANE_Handle handle, int option, SANE_Action action, void* value, SANE_Int* info);
    SANE_Status GetParameters(SANE_Handle handle, SANE_Parameters* params);
    SANE_Status Start(SANE_Handle handle);
    SANE_Status Read(SANE_Handle handle, SANE_Byte* data, SANE_Int maxLength, SANE_Int* length);
    void Cancel(SANE_Handle handle);
    QString StatusText(SANE_Status status);

    static constexpr int kMaxDevices = 1024;

private:
    struct Entries;
    void* lib_ = nullptr;
    Entries* fn_ = nullptr;
};

// The scanner library loaded at run time: its calls, devices and leak scope.
#include "platform/scan/sane_manager.h"

#include <dlfcn.h>

#ifdef __SANITIZE_ADDRESS__
#include <sanitizer/lsan_interface.h>
#endif

namespace {

// The library keeps caches (configuration paths, device lists) that its exit does not
// free, and it is unmapped before the leak checker reports, so no suppression can name
// it then: what it allocates on our thread is left out of the check instead.
struct LibraryCall {
#ifdef __SANITIZE_ADDRESS__
    LibraryCall() { __lsan_disable(); }
    ~LibraryCall() { __lsan_enable(); }
#else
    LibraryCall() {}
#endif
};

QString& libraryName()
{
    static QString name = QStringLiteral("libsane.so.1");
    return name;
}

// A string from the library, never read past a sane length.
QString boundedText(const char* s)
{
    if (!s)
        return {};
    constexpr size_t kMax = 1024;
    size_t n = 0;
    while (n < kMax && s[n])
        ++n;
    return QString::fromUtf8(s, qsizetype(n));
}

}  // namespace

struct TSaneManager::Entries {
    decltype(&sane_init) init;
    decltype(&sane_exit) exit;
    decltype(&sane_get_devices) getDevices;
    decltype(&sane_open) open;
    decltype(&sane_close) close;
    decltype(&sane_get_option_descriptor) optionDescriptor;
    decltype(&sane_control_option) controlOption;
    decltype(&sane_get_parameters) getParameters;
    decltype(&sane_start) start;
    decltype(&sane_read) read;
    decltype(&sane_cancel) cancel;
    decltype(&sane_strstatus) strstatus;
};

QString TSaneManager::LibraryName() { return libraryName(); }
void TSaneManager::SetLibraryName(const QString& name) { libraryName() = name; }

TSaneManager::~TSaneManager() { Unload(); }

bool TSaneManager::Load()
{
    LibraryCall guard;
    if (lib_)
        return true;
    void* lib = dlopen(libraryName().toLocal8Bit().constData(), RTLD_NOW | RTLD_LOCAL);
    if (!lib)
        return false;
    auto* fn = new Entries{};
    bool all = true;
    auto resolve = [&](auto& slot, const char* name) {
        slot = reinterpret_cast<std::remove_reference_t<decltype(slot)>>(dlsym(lib, name));
        all = all && slot;
    };
    resolve(fn->init, "sane_init");
    resolve(fn->exit, "sane_exit");
    resolve(fn->getDevices, "sane_get_devices");
    resolve(fn->open, "sane_open");
    resolve(fn->close, "sane_close");
    resolve(fn->optionDescriptor, "sane_get_option_descriptor");
    resolve(fn->controlOption, "sane_control_option");
    resolve(fn->getParameters, "sane_get_parameters");
    resolve(fn->start, "sane_start");
    resolve(fn->read, "sane_read");
    resolve(fn->cancel, "sane_cancel");
    resolve(fn->strstatus, "sane_strstatus");
    if (!all) {
        delete fn;
        dlclose(lib);
        return false;
    }
    lib_ = lib;
    fn_ = fn;
    return true;
}

void TSaneManager::Unload()
{
    LibraryCall guard;
    if (!lib_)
        return;
    delete fn_;
    fn_ = nullptr;
    dlclose(lib_);
    lib_ = nullptr;
}

SANE_Status TSaneManager::Init()
{
    LibraryCall guard;
    if (!fn_)
        return SANE_STATUS_INVAL;
    SANE_Int version = 0;
    return fn_->init(&version, nullptr);
}

void TSaneManager::Exit()
{
    LibraryCall guard;
    if (fn_)
        fn_->exit();
}

SANE_Status TSaneManager::GetDevices(std::vector<TSaneDevice>& out)
{
    LibraryCall guard;
    out.clear();
    if (!fn_)
        return SANE_STATUS_INVAL;
    const SANE_Device** list = nullptr;
    const SANE_Status st = fn_->getDevices(&list, SANE_FALSE);
    if (st != SANE_STATUS_GOOD || !list)
        return st;
    for (int i = 0; i < kMaxDevices && list[i]; ++i) {
        const SANE_Device* d = list[i];
        if (!d->name)
            continue;
        out.push_back(
            {boundedText(d->name).toUtf8(), boundedText(d->vendor), boundedText(d->model), boundedText(d->type)});
    }
    return SANE_STATUS_GOOD;
}

SANE_Status TSaneManager::Open(const QByteArray& name, SANE_Handle* handle)
{
    LibraryCall guard;
    *handle = nullptr;
    if (!fn_)
        return SANE_STATUS_INVAL;
    const SANE_Status st = fn_->open(name.constData(), handle);
    if (st == SANE_STATUS_GOOD && !*handle)
        return SANE_STATUS_INVAL;
    return st;
}

void TSaneManager::Close(SANE_Handle handle)
{
    LibraryCall guard;
    if (fn_ && handle)
        fn_->close(handle);
}

const SANE_Option_Descriptor* TSaneManager::OptionDescriptor(SANE_Handle handle, int option)
{
    return fn_ ? fn_->optionDescriptor(handle, option) : nullptr;
}

SANE_Status TSaneManager::ControlOption(SANE_Handle handle, int option, SANE_Action action, void* value, SANE_Int* info)
{
    LibraryCall guard;
    if (info)
        *info = 0;
    return fn_ ? fn_->controlOption(handle, option, action, value, info) : SANE_STATUS_INVAL;
}

SANE_Status TSaneManager::GetParameters(SANE_Handle handle, SANE_Parameters* params)
{
    return fn_ ? fn_->getParameters(handle, params) : SANE_STATUS_INVAL;
}

SANE_Status TSaneManager::Start(SANE_Handle handle)
{
    LibraryCall guard;
    return fn_ ? fn_->start(handle) : SANE_STATUS_INVAL;
}

SANE_Status TSaneManager::Read(SANE_Handle handle, SANE_Byte* data, SANE_Int maxLength, SANE_Int* length)
{
    LibraryCall guard;
    *length = 0;
    if (!fn_)
        return SANE_STATUS_INVAL;
    const SANE_Status st = fn_->read(handle, data, maxLength, length);
    if (*length < 0 || *length > maxLength)
        return SANE_STATUS_IO_ERROR;
    return st;
}

void TSaneManager::Cancel(SANE_Handle handle)
{
    LibraryCall guard;
    if (fn_ && handle)
        fn_->cancel(handle);
}

QString TSaneManager::StatusText(SANE_Status status) { return fn_ ? boundedText(fn_->strstatus(status)) : QString(); }

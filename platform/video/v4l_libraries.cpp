// Opening the capture device libraries on first use.
#include "platform/video/v4l_libraries.h"

#include <atomic>
#include <dlfcn.h>

namespace {

std::atomic<bool> opened{false};

TV4LLibraries open()
{
    TV4LLibraries l;
    void* const v4l2 = ::dlopen("libv4l2.so.0", RTLD_NOW | RTLD_LOCAL);
    void* const convert = ::dlopen("libv4lconvert.so.0", RTLD_NOW | RTLD_LOCAL);
    if (!v4l2 || !convert)
        return l;
    bool all = true;
#define K_V4L_RESOLVE(lib, fn) \
    l.fn = reinterpret_cast<decltype(l.fn)>(::dlsym(lib, #fn)); \
    all = all && l.fn;
    K_V4L_FUNCTIONS(K_V4L_RESOLVE)
#undef K_V4L_RESOLVE
    l.Loaded = all;
    return l;
}

}  // namespace

const TV4LLibraries& V4L()
{
    static const TV4LLibraries libraries = open();
    opened = true;
    return libraries;
}

bool V4LOpened() { return opened; }

// The capture device libraries, opened with the first camera or frame conversion rather
// than with the program, as the video libraries are.
#pragma once
#include <libv4l2.h>
#include <libv4lconvert.h>

struct TV4LLibraries {
#define K_V4L_FUNCTIONS(X) \
    X(v4l2, v4l2_open) \
    X(v4l2, v4l2_close) \
    X(v4l2, v4l2_ioctl) \
    X(v4l2, v4l2_mmap) \
    X(v4l2, v4l2_munmap) \
    X(convert, v4lconvert_create_with_dev_ops) \
    X(convert, v4lconvert_destroy) \
    X(convert, v4lconvert_convert) \
    X(convert, v4lconvert_get_error_message)
#define K_V4L_POINTER(lib, fn) decltype(&::fn) fn = nullptr;
    K_V4L_FUNCTIONS(K_V4L_POINTER)
#undef K_V4L_POINTER
    // False when either library is missing: no camera then, and no conversion.
    bool Loaded = false;
};

// Opens the libraries on the first call; they stay loaded.
const TV4LLibraries& V4L();
// Whether they have been opened in this process.
bool V4LOpened();

// The scanner test environment of the image library's tests, shared here.
#include "imaging/io/acquire/sane_test_env.cpp"

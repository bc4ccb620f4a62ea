// The window tests' headless GL harness (SDL offscreen window, read-back,
// driver leak suppressions), built into this program too.
#include "window/gl_test_support.cpp"

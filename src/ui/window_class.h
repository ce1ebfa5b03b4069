#pragma once
// The window classes of the framework's own windows, registered once per process.
#include <windows.h>

namespace kbase {

// Registers a class of this program's module with the arrow cursor; a class of that name
// that already exists counts as registered. False when registration fails.
bool RegisterWindowClassOnce(const wchar_t* name, WNDPROC procedure, UINT style = 0);

}  // namespace kbase

#include "common/win/dll_search.h"

#include <windows.h>

namespace kbase {

namespace {

// Windows 7 without KB2533623 lacks SetDefaultDllDirectories, so it is looked up.
using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);

#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
constexpr DWORD LOAD_LIBRARY_SEARCH_SYSTEM32 = 0x00000800;
#endif

}  // namespace

bool RestrictDllSearchToSystemFolder() {
  // An empty string removes the current folder from the legacy search order as well,
  // which still applies where the default directories cannot be set.
  ::SetDllDirectoryW(L"");
  HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
  if (kernel == nullptr) return false;
  auto set_default = reinterpret_cast<SetDefaultDllDirectoriesFunction>(
      reinterpret_cast<void*>(::GetProcAddress(kernel, "SetDefaultDllDirectories")));
  if (set_default == nullptr) return false;
  return set_default(LOAD_LIBRARY_SEARCH_SYSTEM32) != FALSE;
}

}  // namespace kbase

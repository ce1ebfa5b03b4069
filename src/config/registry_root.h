#pragma once
// Registry root names as configuration documents and full key paths write them.
#include <windows.h>

#include <string>

namespace kbase {

// "hkcr", "hkcu", "hklm", "hkus" in any case; null for anything else.
HKEY ShortRegistryRoot(const std::wstring& name);

// The predefined key whose long name ("HKEY_LOCAL_MACHINE", ...) begins the path, in
// any case; null when none does.
HKEY ParseRegistryRoot(const std::wstring& path);
// The text after the first backslash; empty without one.
std::wstring RegistrySubkey(const std::wstring& path);

}  // namespace kbase

#include "config/registry_root.h"

#include <cwchar>

namespace kbase {

HKEY ShortRegistryRoot(const std::wstring& name) {
  static const struct {
    const wchar_t* name;
    HKEY key;
  } kRoots[] = {
      {L"hkcr", HKEY_CLASSES_ROOT},
      {L"hkcu", HKEY_CURRENT_USER},
      {L"hklm", HKEY_LOCAL_MACHINE},
      {L"hkus", HKEY_USERS},
  };
  for (const auto& root : kRoots) {
    if (_wcsicmp(name.c_str(), root.name) == 0) return root.key;
  }
  return nullptr;
}

HKEY ParseRegistryRoot(const std::wstring& path) {
  // A prefix test in this order, so "HKEY_USERSX\..." still names HKEY_USERS.
  static const struct {
    const wchar_t* name;
    HKEY key;
  } kRoots[] = {
      {L"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
      {L"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
      {L"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
      {L"HKEY_USERS", HKEY_USERS},
      {L"HKEY_PERFORMANCE_DATA", HKEY_PERFORMANCE_DATA},
      {L"HKEY_PERFORMANCE_TEXT", HKEY_PERFORMANCE_TEXT},
      {L"HKEY_PERFORMANCE_NLSTEXT", HKEY_PERFORMANCE_NLSTEXT},
      {L"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG},
      {L"HKEY_DYN_DATA", HKEY_DYN_DATA},
  };
  for (const auto& root : kRoots) {
    if (_wcsnicmp(path.c_str(), root.name, wcslen(root.name)) == 0) return root.key;
  }
  return nullptr;
}

std::wstring RegistrySubkey(const std::wstring& path) {
  const size_t slash = path.find(L'\\');
  if (slash == std::wstring::npos) return std::wstring();
  return path.substr(slash + 1);
}

}  // namespace kbase

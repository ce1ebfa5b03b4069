#include "config/product_registry.h"

#include "common/win/scoped_handle.h"
#include "config/registry_keys.h"

namespace kbase {
namespace {

// Opened with default access in the default view, as the product writes them.
bool ReadDword(HKEY root, const wchar_t* subkey, const wchar_t* name, DWORD* value) {
  ScopedKey key;
  if (::RegOpenKeyW(root, subkey, key.receive()) != ERROR_SUCCESS) return false;
  DWORD type = REG_NONE;
  DWORD data = 0;
  DWORD size = sizeof(data);
  if (::RegQueryValueExW(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&data),
                         &size) != ERROR_SUCCESS ||
      type != REG_DWORD || size != sizeof(data)) {
    return false;
  }
  *value = data;
  return true;
}

}  // namespace

UninstallHistoryPlace ReadUninstallValue(const wchar_t* name, DWORD* value) {
  *value = 0;
  if (ReadDword(HKEY_LOCAL_MACHINE, kProductKey, name, value)) return kUninstallHistoryProductKey;
  if (ReadDword(HKEY_CLASSES_ROOT, kUninstallHistoryKey, name, value)) {
    return kUninstallHistoryRecordsKey;
  }
  *value = 0;
  return kUninstallHistoryNone;
}

DWORD ReadUninstallCount() {
  DWORD value = 0;
  ReadUninstallValue(L"uninstall_count", &value);
  return value;
}

DWORD ReadUninstallTime() {
  DWORD value = 0;
  ReadUninstallValue(L"uninstall_time", &value);
  return value;
}

bool IsRebootPending() {
  ScopedKey key;
  return ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kNeedRebootKey, 0, KEY_READ, key.receive()) ==
         ERROR_SUCCESS;
}

}  // namespace kbase

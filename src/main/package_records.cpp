#include "main/package_records.h"

#include <windows.h>

#include <cwchar>

#include "common/win/scoped_handle.h"
#include "config/registry_keys.h"

namespace kbase {

namespace {

std::wstring ValueName(int32_t company_id, int32_t tryno_id, int entry_number) {
  wchar_t name[64];
  swprintf(name, 64, L"PacketPath_%d_%d_%d", company_id, tryno_id, entry_number);
  return name;
}

}  // namespace

std::wstring ReadPackagePath(int32_t company_id, int32_t tryno_id, int entry_number) {
  ScopedKey key;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, kInstallerRecordsKey, 0, KEY_QUERY_VALUE,
                    key.receive()) != ERROR_SUCCESS) {
    return {};
  }
  wchar_t path[MAX_PATH + 1] = {};
  DWORD type = 0, size = sizeof path - sizeof(wchar_t);
  if (RegQueryValueExW(key.get(), ValueName(company_id, tryno_id, entry_number).c_str(), nullptr,
                       &type, reinterpret_cast<BYTE*>(path), &size) != ERROR_SUCCESS ||
      type != REG_SZ) {
    return {};
  }
  path[size / sizeof(wchar_t)] = L'\0';  // stored data need not be terminated
  return path;
}

bool RecordPackagePath(int32_t company_id, int32_t tryno_id, int entry_number,
                       const std::wstring& path) {
  ScopedKey key;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, kInstallerRecordsKey, 0, KEY_SET_VALUE, key.receive()) !=
      ERROR_SUCCESS) {
    return false;
  }
  return RegSetValueExW(key.get(), ValueName(company_id, tryno_id, entry_number).c_str(), 0,
                        REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                        static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

}  // namespace kbase

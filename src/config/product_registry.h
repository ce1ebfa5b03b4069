#pragma once
// Records the product keeps in the registry that this program only reads.
#include <windows.h>

#include <cstdint>

namespace kbase {

// Where a value of the uninstall history was read.
enum UninstallHistoryPlace {
  kUninstallHistoryNone = 0,
  kUninstallHistoryProductKey = 1,  // HKEY_LOCAL_MACHINE, the product's key
  kUninstallHistoryRecordsKey = 2,  // HKEY_CLASSES_ROOT, the product's second copy
};

// A REG_DWORD of the uninstall history ("uninstall_count", "uninstall_time"): from the
// product's key, else from the second copy. kUninstallHistoryNone and 0 when neither has it.
UninstallHistoryPlace ReadUninstallValue(const wchar_t* name, DWORD* value);

// Number of uninstalls; 0 when absent.
DWORD ReadUninstallCount();
// Time of the last uninstall in seconds since 1970 (UTC); 0 when absent.
DWORD ReadUninstallTime();

// True while the product's reboot marker key exists.
bool IsRebootPending();

}  // namespace kbase

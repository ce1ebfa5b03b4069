#pragma once
// Registry locations the installer shares with the product.

namespace kbase {

// HKEY_LOCAL_MACHINE: the product's own key ("KNeedReboot", "uninstall_count",
// "uninstall_time", "ProgramPath", "kinstlog").
inline constexpr wchar_t kProductKey[] = L"SOFTWARE\\vesmark\\Antivirus";

// HKEY_CLASSES_ROOT: the installer's records ("PacketPath_%d_%d_%d", "UiExePath", "did").
inline constexpr wchar_t kInstallerRecordsKey[] =
    L"CLSID\\{79B5BC47-CEA1-4772-B433-7D1B3139F278}\\Implemented Categories\\"
    L"{607568DD-B059-434b-B7E7-38EC51998F8E}";

// HKEY_CLASSES_ROOT: the product's second copy of its uninstall history, read when the
// product key lacks a value.
inline constexpr wchar_t kUninstallHistoryKey[] =
    L"CLSID\\{9B7A98EC-7EF9-468c-ACC8-37C793DBD7E0}\\Implemented Categories\\"
    L"{A5F7140E-4311-4ef9-AABC-F55941B5EBE5}";

// HKEY_LOCAL_MACHINE: present while the product waits for a reboot.
inline constexpr wchar_t kNeedRebootKey[] = L"SOFTWARE\\vesmark\\Antivirus\\KNeedReboot";

}  // namespace kbase

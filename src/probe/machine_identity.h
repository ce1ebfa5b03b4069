#pragma once
// The machine's two stable identifiers, kept in the registry so that later runs and the
// installed product see the same values, and the report identity's machine facts.
#include <string>

#include "config/registry_keys.h"
#include "probe/machine_id_recipe.h"

namespace KInstallTool {
struct ReportIdentity;
}

namespace kbase {

// HKEY_CLASSES_ROOT key holding the install id ("idex", "idno"); the product keeps its
// uninstall history under the same key.
inline constexpr const wchar_t* kInstallIdKey = kUninstallHistoryKey;
inline constexpr wchar_t kInstallIdValue[] = L"idex";
inline constexpr wchar_t kInstallIdMarkValue[] = L"idno";
// Under kInstallerRecordsKey.
inline constexpr wchar_t kDeviceIdValue[] = L"did";

// The stored install id in upper case; a fresh one when none is stored. Writes the id
// (with its stored case) and "idno" = "1" back on every call.
std::wstring GetInstallId();

// The stored device id; built from the hardware and stored when none is stored.
std::wstring GetDeviceId();

// A fresh install id: 32 lower-case hexadecimal digits from time, a GUID, the computer
// name and the system volume's free space.
std::wstring MakeInstallId();

// The five hardware parts of the device id as this machine answers them (empty where a
// probe failed; the recipe puts in the placeholders).
DeviceIdParts GatherDeviceIdParts();

// The device id from this machine's hardware, without the registry.
std::wstring BuildDeviceId();

// Fills the machine facts of the report identity: install id, device id, the security
// product survey text and the OS code. The channel numbers are left as they are.
void FillMachineFacts(KInstallTool::ReportIdentity* identity);

}  // namespace kbase

#include "config/vpn_leaf.h"

#include <windows.h>
#include <ras.h>
#include <raserror.h>

#include <cstddef>
#include <cstdint>
#include <cwchar>
#include <string>
#include <vector>

#include "config/leaf_attributes.h"
#include "config/leaf_report.h"

namespace kbase {

bool HasVpnConnection() {
  DWORD size = 0;
  DWORD count = 0;
  DWORD error = ::RasEnumConnectionsW(nullptr, &size, &count);
  if ((error != ERROR_SUCCESS && error != ERROR_BUFFER_TOO_SMALL) || count == 0) return false;
  // Entries come at the stride the system asked for; every structure version keeps the
  // device type at the same place, and it must lie inside an entry.
  const size_t stride = size / count;
  constexpr size_t kTypeEnd = offsetof(RASCONNW, szDeviceName);
  if (stride < kTypeEnd || stride % alignof(RASCONNW) != 0) return false;
  std::vector<uint64_t> storage((static_cast<size_t>(size) + 7) / 8);
  auto* bytes = reinterpret_cast<uint8_t*>(storage.data());
  for (DWORD i = 0; i < count; ++i) {
    reinterpret_cast<RASCONNW*>(bytes + i * stride)->dwSize = static_cast<DWORD>(stride);
  }
  DWORD listed = 0;
  error = ::RasEnumConnectionsW(reinterpret_cast<RASCONNW*>(bytes), &size, &listed);
  if (error != ERROR_SUCCESS) return false;
  if (listed > count) listed = count;
  for (DWORD i = 0; i < listed; ++i) {
    const auto* entry = reinterpret_cast<const RASCONNW*>(bytes + i * stride);
    const std::wstring type(entry->szDeviceType,
                            ::wcsnlen(entry->szDeviceType, RAS_MaxDeviceType + 1));
    if (::lstrcmpiW(type.c_str(), RASDT_Vpn) == 0) return true;
  }
  return false;
}

std::unique_ptr<ICheckLeaf> KConnectVpnLeaf::Parse(int32_t id, const TiXmlElement& leaf) {
  auto made = std::make_unique<KConnectVpnLeaf>(id);
  if (!ReadLeafInt(leaf, "switch", &made->switch_on)) return nullptr;
  return made;
}

int32_t KConnectVpnLeaf::Check() {
  const bool found = HasVpnConnection();
  SendLeafReport(kLeafStepVpn, found ? 1 : 0, switch_on, nullptr);
  return found && switch_on != 0 ? 1 : 0;
}

}  // namespace kbase

#include "probe/anti_cheat_rules.h"

#include "probe/vm_detection.h"

namespace anti_cheat {

namespace {

wchar_t FoldAscii(wchar_t c) {
  return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

// Vendor ids of virtual PCI hardware, in the order they are compared.
struct VendorId {
  int32_t kind;
  const wchar_t* id;
};
constexpr VendorId kVendorIds[CDetectVMFromPCI::kVendorCount] = {
    {0, L"15AD"},  // VMware
    {1, L"80EE"},  // VirtualBox
    {2, L"1AB8"},  // Parallels
};

}  // namespace

bool EqualsNoCase(const std::wstring& a, const std::wstring& b) {
  return a.size() == b.size() && StartsWithNoCase(a, b);
}

bool StartsWithNoCase(const std::wstring& text, const std::wstring& prefix) {
  if (prefix.size() > text.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (FoldAscii(text[i]) != FoldAscii(prefix[i])) return false;
  }
  return true;
}

bool IsVmwareHypervisorVendor(const std::string& vendor) {
  static const char kVendor[] = "vmwarevmware";
  if (vendor.size() != sizeof(kVendor) - 1) return false;
  for (size_t i = 0; i < vendor.size(); ++i) {
    char c = vendor[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != kVendor[i]) return false;
  }
  return true;
}

bool IsQemuAdapterAddress(const uint8_t* address, size_t length) {
  return address != nullptr && length >= 4 && address[0] == 0x52 && address[1] == 0x54 &&
         address[2] == 0x00;
}

std::wstring FileNameAfterLastBackslash(const std::wstring& path) {
  const size_t slash = path.rfind(L'\\');
  if (slash == std::wstring::npos) return std::wstring();
  return path.substr(slash + 1);
}

std::wstring DevicePathToDrivePath(const std::wstring& device_path,
                                   const std::vector<DosDevice>& devices) {
  if (device_path.empty()) return std::wstring();
  for (const DosDevice& entry : devices) {
    if (entry.device.empty() || !StartsWithNoCase(device_path, entry.device)) continue;
    // "\Device\HarddiskVolume1" must not claim "\Device\HarddiskVolume10\...".
    if (device_path.size() > entry.device.size() && device_path[entry.device.size()] != L'\\') {
      continue;
    }
    return entry.drive + device_path.substr(entry.device.size());
  }
  return std::wstring();
}

CDetectVMFromPCI::CDetectVMFromPCI() {
  static const wchar_t kPrefix[] = L"VEN_";
  for (int i = 0; i < kVendorCount; ++i) {
    vendors_[i].kind = kVendorIds[i].kind;
    size_t length = 0;
    for (const wchar_t* p = kPrefix; *p != 0 && length + 1 < kPrefixCapacity; ++p) {
      vendors_[i].prefix[length++] = *p;
    }
    for (const wchar_t* p = kVendorIds[i].id; *p != 0 && length + 1 < kPrefixCapacity; ++p) {
      vendors_[i].prefix[length++] = *p;
    }
    vendors_[i].prefix[length] = 0;
  }
}

CDetectVMFromPCI::~CDetectVMFromPCI() = default;

int CDetectVMFromPCI::MatchDeviceKey(const std::wstring& key_name) const {
  for (const VendorEntry& vendor : vendors_) {
    const std::wstring prefix(vendor.prefix);
    if (key_name.size() > prefix.size() && StartsWithNoCase(key_name, prefix)) {
      return vendor.kind;
    }
  }
  return -1;
}

}  // namespace anti_cheat

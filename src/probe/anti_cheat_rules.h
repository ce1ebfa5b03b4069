#pragma once
// The decisions of the anti-cheat probes that need no system calls: name and prefix
// matching, device-path translation and address checks. Built in every tree.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace anti_cheat {

// ASCII case folding is enough: every text compared here (device names, vendor ids,
// key names, file names) is ASCII in the cases that matter.
bool EqualsNoCase(const std::wstring& a, const std::wstring& b);
bool StartsWithNoCase(const std::wstring& text, const std::wstring& prefix);

// Leaf 0x40000000 vendor text of a VMware hypervisor.
bool IsVmwareHypervisorVendor(const std::string& vendor);

// A network adapter address of a KVM/QEMU guest: at least 4 bytes, starting 52-54-00.
bool IsQemuAdapterAddress(const uint8_t* address, size_t length);

// Text after the last backslash, or empty when the path has none.
std::wstring FileNameAfterLastBackslash(const std::wstring& path);

// A drive letter with colon ("C:") and the device name it maps to
// ("\Device\HarddiskVolume1").
struct DosDevice {
  std::wstring drive;
  std::wstring device;
};

// "\Device\HarddiskVolume1\Windows\explorer.exe" -> "C:\Windows\explorer.exe": the first
// device (in the given order) that prefixes the path up to a backslash, ignoring case, is
// replaced by its drive. Empty when no device matches or the path is empty.
std::wstring DevicePathToDrivePath(const std::wstring& device_path,
                                   const std::vector<DosDevice>& devices);

}  // namespace anti_cheat

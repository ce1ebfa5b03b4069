// The matching rules of the anti-cheat probes, in every tree.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "probe/anti_cheat_rules.h"
#include "probe/vm_detection.h"

namespace anti_cheat {
namespace {

TEST(PciVendorTable, HoldsTheThreeVendorPrefixesInOrder) {
  CDetectVMFromPCI pci;
  EXPECT_EQ(pci.entry(0).kind, 0);
  EXPECT_EQ(std::wstring(pci.entry(0).prefix), L"VEN_15AD");
  EXPECT_EQ(pci.entry(1).kind, 1);
  EXPECT_EQ(std::wstring(pci.entry(1).prefix), L"VEN_80EE");
  EXPECT_EQ(pci.entry(2).kind, 2);
  EXPECT_EQ(std::wstring(pci.entry(2).prefix), L"VEN_1AB8");
}

TEST(PciVendorTable, MatchesDeviceKeyNames) {
  struct Case {
    const wchar_t* key;
    int kind;
  };
  const Case cases[] = {
      {L"VEN_15AD&DEV_0405&SUBSYS_040515AD&REV_00", 0},
      {L"ven_80ee&dev_cafe", 1},  // any case
      {L"VEN_1AB8&DEV_4005", 2},
      {L"VEN_1AB8_", 2},          // one character past the prefix is enough
      {L"VEN_80EE", -1},          // the prefix alone is not a device
      {L"VEN_8086&DEV_7000", -1},
      {L"XVEN_15AD&DEV_0405", -1},  // must begin with it
      {L"VEN_15A", -1},
      {L"", -1},
  };
  CDetectVMFromPCI pci;
  for (const Case& c : cases) {
    EXPECT_EQ(pci.MatchDeviceKey(c.key), c.kind) << std::string(c.key, c.key + wcslen(c.key));
  }
}

TEST(HypervisorVendor, OnlyVmwareIgnoringCase) {
  EXPECT_TRUE(IsVmwareHypervisorVendor("VMwareVMware"));
  EXPECT_TRUE(IsVmwareHypervisorVendor("vmwarevmware"));
  EXPECT_FALSE(IsVmwareHypervisorVendor("KVMKVMKVM\0\0\0"));
  EXPECT_FALSE(IsVmwareHypervisorVendor("Microsoft Hv"));
  EXPECT_FALSE(IsVmwareHypervisorVendor("VMwareVMwar"));
  EXPECT_FALSE(IsVmwareHypervisorVendor(std::string("VMwareVMware\0", 13)));
}

TEST(QemuAdapterAddress, NeedsFourBytesStartingWithTheQemuPrefix) {
  const uint8_t qemu[] = {0x52, 0x54, 0x00, 0x12, 0x34, 0x56};
  const uint8_t other[] = {0x52, 0x54, 0x01, 0x12, 0x34, 0x56};
  EXPECT_TRUE(IsQemuAdapterAddress(qemu, 6));
  EXPECT_TRUE(IsQemuAdapterAddress(qemu, 4));
  EXPECT_FALSE(IsQemuAdapterAddress(qemu, 3));
  EXPECT_FALSE(IsQemuAdapterAddress(other, 6));
  EXPECT_FALSE(IsQemuAdapterAddress(nullptr, 6));
}

TEST(FileName, IsTheTextAfterTheLastBackslash) {
  EXPECT_EQ(FileNameAfterLastBackslash(L"C:\\Windows\\explorer.exe"), L"explorer.exe");
  EXPECT_EQ(FileNameAfterLastBackslash(L"C:\\dir\\"), L"");
  EXPECT_EQ(FileNameAfterLastBackslash(L"explorer.exe"), L"");
}

TEST(DevicePath, FirstMatchingDeviceBecomesItsDrive) {
  const std::vector<DosDevice> devices = {
      {L"C:", L"\\Device\\HarddiskVolume1"},
      {L"D:", L"\\Device\\HarddiskVolume10"},
      {L"E:", L"\\Device\\CdRom0"},
  };
  struct Case {
    const wchar_t* device_path;
    const wchar_t* expected;
  };
  const Case cases[] = {
      {L"\\Device\\HarddiskVolume1\\Windows\\explorer.exe", L"C:\\Windows\\explorer.exe"},
      {L"\\device\\cdrom0\\setup.exe", L"E:\\setup.exe"},
      // Volume1 is a text prefix of Volume10 but not the same device.
      {L"\\Device\\HarddiskVolume10\\a.exe", L"D:\\a.exe"},
      {L"\\Device\\Mup\\server\\share\\a.exe", L""},
      {L"", L""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DevicePathToDrivePath(c.device_path, devices), c.expected);
  }
}

}  // namespace
}  // namespace anti_cheat

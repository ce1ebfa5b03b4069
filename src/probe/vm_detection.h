#pragma once
// Virtual machine, sandbox and restore-on-reboot detection: nine tests run in a fixed
// order, the first that fires answers "detected". Each test is exposed on its own so that
// callers and tests can tell which evidence fired.
#include <cstdint>
#include <string>

namespace anti_cheat {

// PCI vendors of virtual hardware, found as "VEN_xxxx" prefixes of the PCI device keys.
class CDetectVMFromPCI {
 public:
  static constexpr int kVendorCount = 3;
  static constexpr size_t kPrefixCapacity = 30;  // 29 characters and the terminator

  struct VendorEntry {
    int32_t kind;  // 0 VMware, 1 VirtualBox, 2 Parallels
    wchar_t prefix[kPrefixCapacity];
  };

  CDetectVMFromPCI();
  virtual ~CDetectVMFromPCI();

  // True when a subkey of the PCI enumeration key begins with a vendor prefix.
  bool Detect() const;
  // The vendor kind a device key name belongs to, or -1. A name must be longer than the
  // prefix; entries are tried in table order.
  int MatchDeviceKey(const std::wstring& key_name) const;

  const VendorEntry& entry(int index) const { return vendors_[index]; }

 private:
  VendorEntry vendors_[kVendorCount];
};

// All nine tests in order; true at the first that fires.
bool DetectVirtualMachine();

// The tests, in the order DetectVirtualMachine runs them.
bool DetectVmwarePort();         // 1: the backdoor I/O port answers
bool DetectVmwareHypervisor();   // 2: cpuid hypervisor vendor "VMwareVMware"
bool DetectVirtualBox();         // 3: guest hook library or shared-folder device
bool DetectVirtualPc();          // 4: guest service, driver files, service keys, IDE disk
bool DetectKvmQemu();            // 5: virtio driver, BIOS and CPU names, adapter address
bool DetectPciVendor();          // 6: CDetectVMFromPCI
bool DetectSandboxie();          // 7: sandbox library inside this process
bool DetectDeepFreeze();         // 8: "DeepFrz.sys" with product name "Deep Freeze"
bool DetectYzIdiot();            // 9: "YzIdiot.sys" with product name "YzIdiot"

// The cpuid facts test 2 uses: the hypervisor-present bit of leaf 1 and, when set, the
// 12-byte vendor text of leaf 0x40000000 (empty otherwise).
struct HypervisorFacts {
  bool present = false;
  std::string vendor;
};
HypervisorFacts ReadHypervisorFacts();

// The "ProductName" of a file's version resource; false when it has none. On 64-bit
// Windows a failed first attempt is repeated with file-system redirection disabled.
bool ReadProductName(const std::wstring& path, std::wstring* product_name);

}  // namespace anti_cheat

#pragma once
// How version numbers become the raw OS kind and the OS code that reports carry.
// Free of Win32 calls, so the tables are tested with any numbers.
#include <cstdint>

namespace kbase {

// Raw OS kinds.
enum RawOsKind : int {
  kOsUnknown = 0,
  kOsWin9x = 1,       // 9x platform below 4.90
  kOsWinMe = 2,       // 9x platform 4.90
  kOsWin2000 = 3,     // NT 5.0
  kOsNt4 = 4,         // NT 4.0 or older
  kOsWinServer2003 = 5,  // NT 5.2
  kOsWinXp = 6,       // NT 5.1
  kOsWinVista = 7,    // NT 6.0 workstation
  kOsWin7 = 8,        // NT 6.1 workstation
  kOsWinServer2008 = 9,  // NT 6.0 or 6.1 server
  kOsWin8 = 10,
  kOsWin81 = 11,
  kOsWin10 = 12,
};

// What the version query reported. Values as in OSVERSIONINFOEXW.
struct ReportedVersion {
  uint32_t platform_id = 0;  // 1: 9x platform, 2: NT platform
  uint32_t major = 0;
  uint32_t minor = 0;
  uint32_t product_type = 1;  // 1: workstation; 2, 3: servers
};

// The kind of a workstation whose reported version is 6.2 or later, from the version
// the kernel itself gives (the version query lies to programs without a manifest).
int KindFromTrueVersion(uint32_t major, uint32_t minor);

// The raw kind; `true_major`/`true_minor` matter only for workstations from 6.2 on.
int RawOsKindFromVersion(const ReportedVersion& version, uint32_t true_major,
                         uint32_t true_minor);

// True when the raw kind is decided by the kernel's own version.
bool NeedsTrueVersion(const ReportedVersion& version);

// The OS code of reports and of the "osversion" condition.
int OsCodeFromRawKind(int raw_kind, bool processor64, int service_pack_major);

// GetNativeSystemInfo's architectures that count as a 64-bit processor (IA64, ALPHA64,
// AMD64).
bool IsArchitecture64(uint16_t processor_architecture);

}  // namespace kbase

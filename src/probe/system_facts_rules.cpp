#include "probe/system_facts_rules.h"

namespace kbase {

namespace {

constexpr uint32_t kPlatform9x = 1;
constexpr uint32_t kPlatformNt = 2;
constexpr uint32_t kWorkstation = 1;

}  // namespace

int KindFromTrueVersion(uint32_t major, uint32_t minor) {
  if (major == 6 && minor == 2) return kOsWin8;
  if (major == 6 && minor == 3) return kOsWin81;
  if (major == 6 && minor == 4) return kOsWin10;  // the preview builds of 10
  if (major == 10 && minor == 0) return kOsWin10;
  return kOsWin8;
}

bool NeedsTrueVersion(const ReportedVersion& version) {
  return version.platform_id == kPlatformNt && version.product_type == kWorkstation &&
         (version.major > 6 || (version.major == 6 && version.minor >= 2));
}

int RawOsKindFromVersion(const ReportedVersion& version, uint32_t true_major,
                         uint32_t true_minor) {
  if (version.platform_id == kPlatform9x) {
    if (version.major < 4 || (version.major == 4 && version.minor < 90)) return kOsWin9x;
    if (version.major == 4 && version.minor == 90) return kOsWinMe;
    return kOsUnknown;
  }
  if (version.platform_id != kPlatformNt) return kOsUnknown;
  if (version.major <= 4) return kOsNt4;
  if (version.major == 5) {
    switch (version.minor) {
      case 0: return kOsWin2000;
      case 1: return kOsWinXp;
      case 2: return kOsWinServer2003;
      default: return kOsUnknown;
    }
  }
  const bool workstation = version.product_type == kWorkstation;
  if (version.major == 6 && version.minor <= 1) {
    if (!workstation) return kOsWinServer2008;
    return version.minor == 0 ? kOsWinVista : kOsWin7;
  }
  // 6.2 and later: servers are not told apart.
  if (!workstation) return kOsUnknown;
  return KindFromTrueVersion(true_major, true_minor);
}

int OsCodeFromRawKind(int raw_kind, bool processor64, int service_pack_major) {
  if (raw_kind >= kOsWin9x && raw_kind <= kOsWinServer2003) return raw_kind;
  if (raw_kind == kOsWinXp) {
    const bool sp3 = service_pack_major >= 3;
    if (processor64) return sp3 ? 8 : 7;
    return sp3 ? 28 : 27;
  }
  if (raw_kind >= kOsWinVista && raw_kind <= kOsWin10) {
    // 7 -> 9/10, 8 -> 11/12, ... 12 -> 19/20: pairs of 32-bit and 64-bit codes.
    return 9 + 2 * (raw_kind - kOsWinVista) + (processor64 ? 1 : 0);
  }
  return 0;
}

bool IsArchitecture64(uint16_t processor_architecture) {
  return processor_architecture == 6 || processor_architecture == 7 ||
         processor_architecture == 9;
}

}  // namespace kbase

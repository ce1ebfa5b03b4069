#include "config/windows_bitness.h"

#include "probe/system_facts.h"

namespace kbase {

// A 64-bit process runs only on 64-bit Windows, so its own width answers; a 32-bit
// process is on 64-bit Windows exactly when it runs under WOW64.
bool IsWindows64Bit() { return sizeof(void*) == 8 || IsWow64(); }

}  // namespace kbase

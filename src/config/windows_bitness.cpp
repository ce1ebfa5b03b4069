#include "config/windows_bitness.h"

#include <windows.h>

namespace kbase {

bool IsWindows64Bit() {
#if defined(_WIN64)
  return true;
#else
  BOOL wow64 = FALSE;
  return ::IsWow64Process(::GetCurrentProcess(), &wow64) && wow64;
#endif
}

}  // namespace kbase

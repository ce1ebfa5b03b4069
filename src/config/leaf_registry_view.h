#pragma once
// The registry view rule of the registry leaves: on 64-bit Windows with wow64 0 the test
// runs in the 64-bit view first; when that yields 0 (or is not done) it runs once more
// with KEY_READ | KEY_WOW64_32KEY on 64-bit Windows, plain KEY_READ on 32-bit Windows.
#include <windows.h>

#include <cstdint>

#include "config/windows_bitness.h"

namespace kbase {

template <typename Test>
int32_t TestInLeafViews(int32_t wow64, Test test) {
  const bool windows64 = IsWindows64Bit();
  if (windows64 && wow64 == 0) {
    const int32_t result = test(static_cast<REGSAM>(KEY_READ | KEY_WOW64_64KEY));
    if (result != 0) return result;
  }
  return test(static_cast<REGSAM>(windows64 ? KEY_READ | KEY_WOW64_32KEY : KEY_READ));
}

}  // namespace kbase

#pragma once

namespace kbase {

// True on 64-bit Windows, whether this process is 64-bit or runs under WOW64.
bool IsWindows64Bit();

}  // namespace kbase

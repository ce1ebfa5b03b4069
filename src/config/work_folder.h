#pragma once
// Where the installer works when the temporary folder will not do.
#include <cstdint>
#include <string>

namespace kbase {

// "<drive>\kinsttemp\" on the fixed, non-USB drive with the most free space of at
// least `minimum_mb`, the system drive last; the drive letter in lower case and the
// folder created. Empty when no drive has that much space or the Windows folder is odd.
std::wstring ChooseWorkFolder(uint32_t minimum_mb);

// True when the drive ("C:") is fixed and its storage descriptor names a bus other
// than USB.
bool IsInternalFixedDrive(const std::wstring& drive);

}  // namespace kbase

#pragma once
#include <string>

namespace kbase {

// The folder a run unpacks into, ending in a backslash: the temporary folder when it is
// writable and on a fixed drive with 200 MB free; else "kinsttemp" on the best fixed
// drive; else "kinsttemp" beside the program (used even when it is not writable).
std::wstring ChooseRunWorkFolder(const std::wstring& program_path);

}  // namespace kbase

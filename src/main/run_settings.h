#pragma once
// The process-wide settings of a run, set during start-up before any window opens and
// read-only afterwards, except the scene (the install-mode choice sets it) and the
// in-area flag (set while the resource block is applied).
#include <cstdint>
#include <string>

namespace kbase {

struct KRunSettings {
  int32_t cid = 0;
  int32_t tid = 0;
  int32_t kid = 0;
  int32_t scene = 0;
  bool silent = false;
  int32_t source = 0;
  bool in_area = false;
  std::wstring working_folder;  // ends in a backslash
};

// The settings of this process.
KRunSettings& RunSettings();

}  // namespace kbase

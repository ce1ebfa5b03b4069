#pragma once
// The order in which drives are tried for the work folder.
#include <cstdint>
#include <string>
#include <vector>

namespace kbase {

struct DriveCandidate {
  std::wstring root;        // "D:\"
  uint64_t free_bytes = 0;  // 0 for drives that are not fixed
};

// Largest free space first (equal space keeps the given order), drives below
// `minimum_bytes` dropped, the system root (compared as given) moved to the end.
std::vector<DriveCandidate> OrderWorkFolderCandidates(std::vector<DriveCandidate> drives,
                                                      uint64_t minimum_bytes,
                                                      const std::wstring& system_root);

}  // namespace kbase

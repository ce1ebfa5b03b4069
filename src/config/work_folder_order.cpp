#include "config/work_folder_order.h"

#include <algorithm>

namespace kbase {

std::vector<DriveCandidate> OrderWorkFolderCandidates(std::vector<DriveCandidate> drives,
                                                      uint64_t minimum_bytes,
                                                      const std::wstring& system_root) {
  std::stable_sort(drives.begin(), drives.end(),
                   [](const DriveCandidate& a, const DriveCandidate& b) {
                     return a.free_bytes > b.free_bytes;
                   });
  while (!drives.empty() && drives.back().free_bytes < minimum_bytes) drives.pop_back();
  // The system drive is chosen last: it fills up first and holds the paging file.
  const auto system = std::find_if(drives.begin(), drives.end(), [&](const DriveCandidate& d) {
    return d.root == system_root;
  });
  if (system != drives.end()) std::rotate(system, system + 1, drives.end());
  return drives;
}

}  // namespace kbase

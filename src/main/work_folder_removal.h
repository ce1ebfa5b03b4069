#pragma once
#include <string>

namespace kbase {

// Removes the run's working folder given its install_res folder: the kinsttemp folder
// when install_res lies in one, else install_res itself. A folder that cannot be removed
// now is registered for removal at the next reboot. True when it is gone now.
bool RemoveWorkFolder(const std::wstring& install_res_folder);

// Deletes a folder tree now, or registers it for deletion at the next reboot when that
// fails. True when it is gone now (a missing folder counts as gone).
bool DeleteFolderTreeOrLater(std::wstring folder);

}  // namespace kbase

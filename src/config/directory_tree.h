#pragma once
#include <string>

namespace kbase {

// Creates a folder and its missing parents. True when the folder exists afterwards.
// Both separators are accepted.
bool CreateDirectoryTree(const std::wstring& path);

// Creates the missing folders of a file path, looking for backslashes from the fourth
// character on (so a drive root such as C:\ is skipped); the last component is the
// file and is never created. False at the first folder that cannot be made.
bool CreateParentFolders(const std::wstring& file_path);

// Write-access probe: creates and removes "<dir>\\access". Only ERROR_ACCESS_DENIED
// means not writable; any other failure (the folder already holds "access") counts as
// writable.
bool IsDirectoryWritable(const std::wstring& dir);

}  // namespace kbase

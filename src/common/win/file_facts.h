#pragma once
// What is at a path, and a whole small file read with a size limit.
#include <cstddef>
#include <string>

namespace kbase {

// Something (file or folder) is there.
bool PathExists(const std::wstring& path);
// A file, not a folder, is there.
bool FileExists(const std::wstring& path);
// A folder is there.
bool FolderExists(const std::wstring& path);

// The whole file into `bytes`; false when it cannot be read or is larger than `limit`.
bool ReadFileBytes(const std::wstring& path, size_t limit, std::string* bytes);

}  // namespace kbase

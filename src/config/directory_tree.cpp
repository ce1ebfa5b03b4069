#include "config/directory_tree.h"

#include <windows.h>

#include "common/win/file_facts.h"

namespace kbase {

namespace {

bool CreateOne(const std::wstring& path) {
  return CreateDirectoryW(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

}  // namespace

bool CreateDirectoryTree(const std::wstring& path) {
  if (path.empty()) return false;
  if (PathExists(path) || CreateOne(path)) return true;
  std::wstring normal = path;
  for (wchar_t& c : normal) {
    if (c == L'/') c = L'\\';
  }
  // A trailing separator names the same folder.
  while (normal.size() > 1 && normal.back() == L'\\') normal.pop_back();
  const size_t cut = normal.find_last_of(L'\\');
  if (cut == std::wstring::npos || cut == 0) return false;
  return CreateDirectoryTree(normal.substr(0, cut)) && CreateOne(normal);
}

bool CreateParentFolders(const std::wstring& file_path) {
  for (size_t i = 3; i < file_path.size(); ++i) {
    if (file_path[i] != L'\\') continue;
    const std::wstring folder = file_path.substr(0, i + 1);
    if (!PathExists(folder) && !CreateDirectoryW(folder.c_str(), nullptr)) return false;
  }
  return true;
}

bool IsDirectoryWritable(const std::wstring& dir) {
  const std::wstring probe = dir + L"\\access";
  if (CreateDirectoryW(probe.c_str(), nullptr)) {
    RemoveDirectoryW(probe.c_str());
    return true;
  }
  return GetLastError() != ERROR_ACCESS_DENIED;
}

}  // namespace kbase

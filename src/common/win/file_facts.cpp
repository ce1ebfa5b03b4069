#include "common/win/file_facts.h"

#include <windows.h>

#include "common/win/scoped_handle.h"

namespace kbase {
namespace {

DWORD Attributes(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()); }

}  // namespace

bool PathExists(const std::wstring& path) { return Attributes(path) != INVALID_FILE_ATTRIBUTES; }

bool FileExists(const std::wstring& path) {
  const DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::wstring& path) {
  const DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool ReadFileBytes(const std::wstring& path, size_t limit, std::string* bytes) {
  ScopedHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return false;
  LARGE_INTEGER size = {};
  if (!::GetFileSizeEx(file.get(), &size) || size.QuadPart < 0 ||
      static_cast<unsigned long long>(size.QuadPart) > limit) {
    return false;
  }
  bytes->assign(static_cast<size_t>(size.QuadPart), '\0');
  size_t done = 0;
  while (done < bytes->size()) {
    DWORD got = 0;
    if (!::ReadFile(file.get(), &(*bytes)[done], static_cast<DWORD>(bytes->size() - done), &got,
                    nullptr) ||
        got == 0) {
      return false;
    }
    done += got;
  }
  return true;
}

}  // namespace kbase

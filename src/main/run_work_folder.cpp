#include "main/run_work_folder.h"

#include <windows.h>

#include "config/directory_tree.h"
#include "config/work_folder.h"

namespace kbase {

namespace {

constexpr uint32_t kMinimumFreeMb = 200;
constexpr DWORD kMaxPathChars = 259;

std::wstring WithBackslash(std::wstring path) {
  if (!path.empty() && path.back() != L'\\') path.push_back(L'\\');
  return path;
}

// The expanded %TEMP% with a trailing backslash when it may serve, else empty.
std::wstring TempCandidate() {
  wchar_t expanded[MAX_PATH + 1] = {};
  const DWORD length = ExpandEnvironmentStringsW(L"%TEMP%", expanded, MAX_PATH + 1);
  // The count includes the terminating NUL.
  if (length < 2 || length - 1 > kMaxPathChars) return {};
  const std::wstring temp = expanded;
  if (!IsDirectoryWritable(temp)) return {};
  const std::wstring candidate = WithBackslash(temp);
  const std::wstring drive = candidate.substr(0, 3);
  ULARGE_INTEGER free_bytes = {};
  if (GetDriveTypeW(drive.c_str()) != DRIVE_FIXED ||
      !GetDiskFreeSpaceExW(drive.c_str(), nullptr, nullptr, &free_bytes) ||
      free_bytes.QuadPart / (1024 * 1024) < kMinimumFreeMb) {
    return {};
  }
  return candidate;
}

}  // namespace

std::wstring ChooseRunWorkFolder(const std::wstring& program_path) {
  std::wstring folder = TempCandidate();
  if (folder.empty()) folder = ChooseWorkFolder(kMinimumFreeMb);
  if (folder.empty()) {
    folder = program_path.substr(0, program_path.find_last_of(L'\\')) + L"\\kinsttemp\\";
  }
  return WithBackslash(folder);
}

}  // namespace kbase

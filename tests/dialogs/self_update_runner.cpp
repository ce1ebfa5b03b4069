// Plays the installer's process entry around the self-update: the update check, and the
// start of the prepared build when the check says so. Writes what happened to
// "<its own path>.result" as "check=C start=S child_done=D", where child_done tells
// whether the started build had already left its record when the start returned.
#include <windows.h>

#include <string>

#include "dialogs/self_update.h"

namespace {

bool FileExists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, wchar_t* command_line, int) {
  kbase::KSelfUpdater& updater = kbase::KSelfUpdater::Instance();
  const int check = updater.CheckUpdate();
  const int start = check == 1 ? updater.StartUpdate(command_line) : -1;
  const bool child_done = FileExists(updater.target_path() + L".cmdline");

  wchar_t self[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return 2;
  const std::string result = "check=" + std::to_string(check) +
                             " start=" + std::to_string(start) +
                             " child_done=" + std::to_string(child_done ? 1 : 0);
  const std::wstring result_path = std::wstring(self, length) + L".result";
  HANDLE file = CreateFileW(result_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  WriteFile(file, result.data(), static_cast<DWORD>(result.size()), &written, nullptr);
  CloseHandle(file);
  return 0;
}

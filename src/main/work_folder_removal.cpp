#include "main/work_folder_removal.h"

#include <windows.h>
#include <shellapi.h>

namespace kbase {

namespace {

constexpr size_t kMaxPath = 260;
// The shell reports a missing source with this pre-Win32 code.
constexpr int kShellNoSource = 0x402;

bool DeleteTree(const std::wstring& folder) {
  if (folder.size() >= kMaxPath) return false;
  std::wstring from = folder;
  from.push_back(L'\0');  // the list ends with two NULs
  SHFILEOPSTRUCTW operation = {};
  operation.wFunc = FO_DELETE;
  operation.pFrom = from.c_str();
  operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
  const int result = SHFileOperationW(&operation);
  if (operation.fAnyOperationsAborted) return false;
  return result == 0 || result == ERROR_FILE_NOT_FOUND || result == kShellNoSource;
}

}  // namespace

bool RemoveWorkFolder(const std::wstring& install_res_folder) {
  std::wstring folder = install_res_folder;
  const size_t at = folder.find(L"kinsttemp\\install_res");
  if (at != std::wstring::npos) folder = folder.substr(0, at + 9);  // "...\kinsttemp"
  return DeleteFolderTreeOrLater(folder);
}

bool DeleteFolderTreeOrLater(std::wstring folder) {
  while (folder.size() > 3 && folder.back() == L'\\') folder.pop_back();
  if (DeleteTree(folder)) return true;
  if (folder.size() < kMaxPath) {
    MoveFileExW(folder.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_REPLACE_EXISTING);
  }
  return false;
}

}  // namespace kbase

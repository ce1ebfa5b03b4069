#include "support/win_test_util.h"

#include <shellapi.h>

#include <cstdio>

#include "common/win/scoped_handle.h"

namespace kbase::test {

TempFolder::TempFolder() {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  static LONG counter = 0;
  wchar_t name[64];
  swprintf(name, 64, L"kinst-test-%lu-%ld-%lu\\", GetCurrentProcessId(),
           InterlockedIncrement(&counter), GetTickCount());
  path_ = std::wstring(temp) + name;
  CreateDirectoryW(path_.c_str(), nullptr);
}

TempFolder::~TempFolder() {
  // SHFileOperation wants a double-terminated list without the trailing backslash.
  std::wstring from = path_.substr(0, path_.size() - 1);
  from.push_back(L'\0');
  SHFILEOPSTRUCTW op = {};
  op.wFunc = FO_DELETE;
  op.pFrom = from.c_str();
  op.fFlags = FOF_NO_UI;
  SHFileOperationW(&op);
}

bool ReadWholeFile(const std::wstring& path, std::string* bytes) {
  FILE* file = _wfopen(path.c_str(), L"rb");
  if (file == nullptr) return false;
  bytes->clear();
  char buffer[65536];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, file)) > 0) bytes->append(buffer, n);
  fclose(file);
  return true;
}

bool WriteWholeFile(const std::wstring& path, const std::string& bytes) {
  FILE* file = _wfopen(path.c_str(), L"wb");
  if (file == nullptr) return false;
  const bool ok = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return fclose(file) == 0 && ok;
}

bool FileExists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring BesideThisProgram(const wchar_t* name) {
  wchar_t self[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring path(self, length);
  return path.substr(0, path.find_last_of(L"\\/") + 1) + name;
}

int RunProgram(const std::wstring& program, const std::wstring& arguments) {
  std::wstring command_line = L"\"" + program + L"\" " + arguments;
  STARTUPINFOW startup = {sizeof startup};
  PROCESS_INFORMATION info = {};
  if (!CreateProcessW(program.c_str(), &command_line[0], nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &info)) {
    return -1;
  }
  ScopedHandle process(info.hProcess), thread(info.hThread);
  WaitForSingleObject(process.get(), INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(process.get(), &code);
  return static_cast<int>(code);
}

EnvironmentValue::EnvironmentValue(const wchar_t* name, const wchar_t* value) : name_(name) {
  wchar_t old[MAX_PATH];
  const DWORD length = GetEnvironmentVariableW(name, old, MAX_PATH);
  had_ = length > 0 && length < MAX_PATH;
  if (had_) old_ = old;
  SetEnvironmentVariableW(name, value);
}

EnvironmentValue::~EnvironmentValue() {
  SetEnvironmentVariableW(name_, had_ ? old_.c_str() : nullptr);
}

}  // namespace kbase::test

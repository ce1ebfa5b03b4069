#pragma once
// Helpers for tests that start the stand-in packages (packages/record_args_*.cpp) and
// look at what the started program recorded.
#include <windows.h>
#include <tlhelp32.h>

#include <string>

#include "common/win/scoped_handle.h"
#include "support/win_test_util.h"

namespace kbase::test {

inline bool ShellRunning() {
  ScopedHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
       more = Process32NextW(snapshot.get(), &entry)) {
    if (_wcsicmp(entry.szExeFile, L"explorer.exe") == 0) return true;
  }
  return false;
}

// Wine ends its desktop process a few seconds after the last window of the session
// closed (the shell's file operations make windows too). True when no shell runs.
inline bool WaitUntilNoShell(DWORD timeout_ms = 15000) {
  const DWORD start = GetTickCount();
  while (ShellRunning()) {
    if (GetTickCount() - start > timeout_ms) return false;
    Sleep(100);
  }
  return true;
}

// Ends every running shell process, then waits until none runs. Other tests that open
// windows start the shell again, so the tests that need it gone run serially.
inline bool EndShell() {
  if (WaitUntilNoShell(5000)) return true;
  ScopedHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
       more = Process32NextW(snapshot.get(), &entry)) {
    if (_wcsicmp(entry.szExeFile, L"explorer.exe") != 0) continue;
    ScopedHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID));
    if (process.valid() && TerminateProcess(process.get(), 0)) {
      WaitForSingleObject(process.get(), 5000);
    }
  }
  return WaitUntilNoShell(5000);
}

// Wine starts its desktop process, "explorer.exe", for the first window of a session
// and ends it with the last; this window keeps it running while it lives.
class ShellWindow {
 public:
  ShellWindow() {
    window_ = CreateWindowExW(0, L"STATIC", L"shell keeper", WS_OVERLAPPED, 0, 0, 10, 10,
                              nullptr, nullptr, nullptr, nullptr);
    for (int i = 0; i < 100 && !ShellRunning(); ++i) Sleep(100);
  }
  ~ShellWindow() {
    if (window_ != nullptr) DestroyWindow(window_);
  }
  ShellWindow(const ShellWindow&) = delete;
  ShellWindow& operator=(const ShellWindow&) = delete;

 private:
  HWND window_ = nullptr;
};

// Copies a stand-in package from beside the test program to target.
inline bool CopyPackage(const wchar_t* name, const std::wstring& target) {
  return CopyFileW(BesideThisProgram(name).c_str(), target.c_str(), FALSE) != FALSE;
}

// Waits up to timeout_ms for a file that another process writes; its bytes, or
// "<none>" when it did not appear.
inline std::string WaitForRecord(const std::wstring& path, DWORD timeout_ms = 20000) {
  const DWORD start = GetTickCount();
  std::string bytes;
  do {
    if (FileExists(path) && ReadWholeFile(path, &bytes)) return bytes;
    Sleep(20);
  } while (GetTickCount() - start < timeout_ms);
  return "<none>";
}

inline std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string out(size, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], size,
                      nullptr, nullptr);
  return out;
}

}  // namespace kbase::test

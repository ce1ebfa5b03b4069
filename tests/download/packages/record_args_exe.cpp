// A stand-in for a package's setup program: writes the command line it received
// (GetCommandLineW, as UTF-8) to "<its own path>.cmdline", after writing how it was
// started to "<its own path>.state": "elevation=E show=S desktop=D" with its token's
// elevation type (1 default, 2 full, 3 limited), the window state it was asked for
// (-1 when none) and the desktop named in its start-up information. Beside
// itself, because the launches under a user's token give it that user's environment,
// not the test's. A "sleep=N" anywhere in the command line delays the records by N
// milliseconds.
#include <windows.h>

#include <cstdlib>
#include <cwchar>
#include <string>

namespace {

std::string ToUtf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string out(size > 0 ? size : 0, '\0');
  if (size > 0) {
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], size,
                        nullptr, nullptr);
  }
  return out;
}

// Writes beside the final name and renames, so a reader never sees half a record.
bool WriteRecord(const std::wstring& path, const std::string& bytes) {
  const std::wstring partial = path + L".partial";
  HANDLE file = CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                            nullptr);
  CloseHandle(file);
  return ok && written == bytes.size() &&
         MoveFileExW(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, wchar_t*, int) {
  const std::wstring command_line = GetCommandLineW();
  const size_t sleep_at = command_line.find(L"sleep=");
  if (sleep_at != std::wstring::npos) {
    Sleep(wcstoul(command_line.c_str() + sleep_at + 6, nullptr, 10));
  }

  wchar_t self[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return 2;
  const std::wstring record = std::wstring(self, length);

  TOKEN_ELEVATION_TYPE elevation = TokenElevationTypeDefault;
  HANDLE token = nullptr;
  if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
    DWORD size = 0;
    GetTokenInformation(token, TokenElevationType, &elevation, sizeof elevation, &size);
    CloseHandle(token);
  }
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  GetStartupInfoW(&startup);
  const int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;
  const std::wstring state = L"elevation=" + std::to_wstring(static_cast<int>(elevation)) +
                             L" show=" + std::to_wstring(show) + L" desktop=" +
                             (startup.lpDesktop != nullptr ? startup.lpDesktop : L"");
  const bool ok = WriteRecord(record + L".state", ToUtf8(state)) &&
                  WriteRecord(record + L".cmdline", ToUtf8(command_line));
  return ok ? 0 : 1;
}

// Stands in for a program a link is opened with: writes its command line to a file named
// after itself ("<program>.txt") and ends.
#include <windows.h>

int main() {
  wchar_t path[MAX_PATH + 8] = {};
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return 1;
  lstrcatW(path, L".txt");
  HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  const wchar_t* line = GetCommandLineW();
  DWORD written = 0;
  WriteFile(file, line, lstrlenW(line) * sizeof(wchar_t), &written, nullptr);
  CloseHandle(file);
  return 0;
}

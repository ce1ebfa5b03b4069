// Process entry of the installer.
#include <windows.h>

#include <string>

#include "common/win/dll_search.h"
#include "main/headless_windows.h"
#include "main/startup_sequence.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR command_line, int) {
  // Before any library is loaded by name.
  kbase::RestrictDllSearchToSystemFolder();

  wchar_t program[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(nullptr, program, MAX_PATH);
  kbase::KHeadlessWindows windows;
  kbase::KStartupContext context;
  context.program_path.assign(program, length < MAX_PATH ? length : 0);
  context.windows = &windows;
  return kbase::RunInstallerProcess(command_line != nullptr ? command_line : L"", context);
}

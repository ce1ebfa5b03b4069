// Process entry of the installer.
#include <windows.h>

#include "common/win/dll_search.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR command_line, int show) {
  // Before any library is loaded by name.
  kbase::RestrictDllSearchToSystemFolder();
  return 0;
}

// Process entry of the installer.
#include <windows.h>

#include <string>

#include "common/win/dll_search.h"
#include "dialogs/self_update.h"
#include "main/alt_package_redirect.h"
#include "main/headless_windows.h"
#include "main/startup_sequence.h"

namespace {

// A verified newer build takes over this run: 1 when it was started and has ended.
int UpdateFirst(const std::wstring& command_line) {
  kbase::KSelfUpdater& updater = kbase::KSelfUpdater::Instance();
  return updater.CheckUpdate() == 1 ? updater.StartUpdate(command_line) : 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR command_line, int) {
  // Before any library is loaded by name.
  kbase::RestrictDllSearchToSystemFolder();

  wchar_t program[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(nullptr, program, MAX_PATH);
  kbase::KHeadlessWindows windows;
  kbase::KStartupContext context;
  context.program_path.assign(program, length < MAX_PATH ? length : 0);
  context.windows = &windows;
  context.check_update = &UpdateFirst;
  context.alternative_package = &kbase::RunAltPackageRedirect;
  return kbase::RunInstallerProcess(command_line != nullptr ? command_line : L"", context);
}

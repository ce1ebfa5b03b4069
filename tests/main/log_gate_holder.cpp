// Test helper: from another process, resets or sets the install log gate of a process.
//   log_gate_holder PID reset|set
// Exit code 0 on success, 1 when the event cannot be opened, 2 on bad arguments.
#include <windows.h>

#include <cwchar>
#include <cstdlib>

#include "common/win/scoped_handle.h"
#include "main/install_log.h"

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) return 2;
  const DWORD pid = wcstoul(argv[1], nullptr, 10);
  kbase::ScopedHandle gate(OpenEventW(EVENT_MODIFY_STATE, FALSE,
                                      kbase::KInstallLog::GateEventName(pid).c_str()));
  if (!gate.valid()) return 1;
  if (wcscmp(argv[2], L"reset") == 0) return ResetEvent(gate.get()) ? 0 : 1;
  if (wcscmp(argv[2], L"set") == 0) return SetEvent(gate.get()) ? 0 : 1;
  return 2;
}

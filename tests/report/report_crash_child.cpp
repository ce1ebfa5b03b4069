// Installs the crash reporter over a filter of its own, then faults for real.
//   report_crash_child HOST      (the telemetry endpoint, "127.0.0.1:port")
#include <windows.h>

#include <string>

#include "report/dump_mgr.h"
#include "report/install_report.h"
#include "report/report_identity.h"

namespace {

// Reached only when the crash reporter hands the exception on.
LONG WINAPI PreviousFilter(EXCEPTION_POINTERS*) {
  ::ExitProcess(77);
  return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  KDirectVestat::SetReportHostForTesting(argv[1]);
  KInstallTool::ReportIdentity identity;
  identity.install_id = L"00112233445566778899AABBCCDDEEFF";
  identity.device_id = L"child-device";
  identity.os_code = 100;
  KInstallTool::SetReportIdentity(identity);
  ::SetUnhandledExceptionFilter(&PreviousFilter);
  kbase::KDumpMgr::Instance().Install();
  kbase::KDumpMgr::Instance().Install();  // a second call must not chain the filter to itself
  kbase::KDumpMgr::Instance().SetChannel(186, 336);
  volatile int* nowhere = nullptr;
  *nowhere = 1;
  return 0;
}

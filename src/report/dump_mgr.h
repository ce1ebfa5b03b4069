#pragma once
// The crash reporter: the process's unhandled-exception filter sends a crash report from
// the faulting thread, then hands the exception to the filter it replaced.
#include <windows.h>

#include "common/win/critical_section.h"
#include "report/dump_info_report.h"

namespace kbase {

class KDumpMgr {
 public:
  // The process's manager, made on first use; its destruction at exit puts the replaced
  // filter back.
  static KDumpMgr& Instance();

  ~KDumpMgr();
  KDumpMgr(const KDumpMgr&) = delete;
  KDumpMgr& operator=(const KDumpMgr&) = delete;

  // Makes the manager's filter the process's filter; later calls change nothing.
  void Install();
  // The channel of this run, stored under the manager's lock.
  void SetChannel(int company_id, int tryno_id);

  // What the filter does: report the exception (facts gathered on the first call only),
  // then return the replaced filter's answer, or EXCEPTION_CONTINUE_SEARCH without one.
  LONG OnException(EXCEPTION_POINTERS* pointers);

  // The result of the last crash report's send (0 or -1), for tests.
  int last_send_result();

 private:
  KDumpMgr() = default;
  static LONG WINAPI Filter(EXCEPTION_POINTERS* pointers);
  void Gather();

  CriticalSection lock_;
  LPTOP_LEVEL_EXCEPTION_FILTER previous_ = nullptr;
  bool installed_ = false;
  bool gathered_ = false;
  int last_send_result_ = -1;
  KInstallTool::KDumpInfoReport report_;
};

}  // namespace kbase

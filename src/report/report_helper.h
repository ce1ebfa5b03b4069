#pragma once
// The process-wide queue of interface reports: dialogs post events without waiting for
// the network, and a background thread sends them one by one.
#include "common/win/critical_section.h"
#include "report/queue_thread_run.h"
#include "report/ui_info_report.h"

namespace KSemReport {

class ReportHelper
    : public kbase::kxQueueThreadRun<KInstallTool::KUIInfoReport, 4, kbase::CriticalSection>,
      public kbase::_CallBack<KInstallTool::KUIInfoReport> {
 public:
  // How long StopReporting waits for a send in progress before ending the thread.
  static constexpr DWORD kStopWaitMs = 3000;

  ReportHelper() = default;
  ~ReportHelper() override;

  // Enables the queue and starts its thread; does nothing while enabled.
  void StartReporting();
  // Queues a table-5010 report (kind 3) with the process's report identity; false, and
  // nothing sent, unless enabled and running.
  bool PostUiEvent(int event, int value);
  // Stops the thread (by force after kStopWaitMs) and disables the queue; queued reports
  // are dropped.
  void StopReporting();

  // Sends the item; the send's result does not matter to the queue.
  int OnItem(int user_value, const KInstallTool::KUIInfoReport& item) override;

 private:
  // The value handed to OnItem, which ignores it.
  static constexpr int kUserValue = 916;

  kbase::CriticalSection enabled_lock_;
  bool enabled_ = false;
};

// The process's ReportHelper, made on first use and deleted at exit.
ReportHelper* GetReportHelper();

}  // namespace KSemReport

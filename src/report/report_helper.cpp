#include "report/report_helper.h"

#include <cstdlib>

#include "report/report_identity.h"

namespace KSemReport {

namespace {

ReportHelper* volatile g_helper = nullptr;
ReportHelper* const kMaking = reinterpret_cast<ReportHelper*>(1);

void DeleteHelper() {
  ReportHelper* helper = static_cast<ReportHelper*>(
      InterlockedExchangePointer(reinterpret_cast<void* volatile*>(&g_helper), nullptr));
  if (helper != nullptr && helper != kMaking) delete helper;
}

}  // namespace

ReportHelper::~ReportHelper() {
  // Before this object's OnItem is gone; the base destructor's stop would come too late.
  Stop(kDestroyStopMs);
}

void ReportHelper::StartReporting() {
  {
    kbase::ScopedLock<kbase::CriticalSection> hold(enabled_lock_);
    if (enabled_) return;
    enabled_ = true;
  }
  if (callback_ == nullptr) {
    callback_ = this;
    set_user_value(kUserValue);
  }
  Start();
}

bool ReportHelper::PostUiEvent(int event, int value) {
  {
    kbase::ScopedLock<kbase::CriticalSection> hold(enabled_lock_);
    if (!enabled_) return false;
  }
  if (!IsRunning()) return false;
  const KInstallTool::ReportIdentity identity = KInstallTool::GetReportIdentity();
  KInstallTool::KUIInfoReport report;
  report.SetIdentity(identity);
  report.event = event;
  report.value = value;
  report.kind = 3;
  return Push(report);
}

void ReportHelper::StopReporting() {
  Stop(kStopWaitMs);
  kbase::ScopedLock<kbase::CriticalSection> hold(enabled_lock_);
  enabled_ = false;
}

int ReportHelper::OnItem(int user_value, const KInstallTool::KUIInfoReport& item) {
  item.Send();
  return 0;
}

ReportHelper* GetReportHelper() {
  void* volatile* slot = reinterpret_cast<void* volatile*>(&g_helper);
  if (InterlockedCompareExchangePointer(slot, kMaking, nullptr) == nullptr) {
    ReportHelper* helper = new ReportHelper;
    InterlockedExchangePointer(slot, helper);
    std::atexit(&DeleteHelper);
    return helper;
  }
  for (;;) {
    ReportHelper* helper = g_helper;
    if (helper != kMaking) return helper;
    Sleep(0);
  }
}

}  // namespace KSemReport

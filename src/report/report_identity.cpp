#include "report/report_identity.h"

#include <mutex>

namespace KInstallTool {

namespace {

std::mutex g_identity_lock;

ReportIdentity& Identity() {
  static ReportIdentity identity;
  return identity;
}

}  // namespace

void SetReportIdentity(const ReportIdentity& identity) {
  std::lock_guard<std::mutex> hold(g_identity_lock);
  Identity() = identity;
}

ReportIdentity GetReportIdentity() {
  std::lock_guard<std::mutex> hold(g_identity_lock);
  return Identity();
}

}  // namespace KInstallTool

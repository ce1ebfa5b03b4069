#include "config/leaf_report.h"

#include "report/report_identity.h"
#include "report/tool_report.h"

namespace kbase {
namespace {
constexpr int kLeafEvent = 30;
}  // namespace

int SendLeafReport(int step, int value, int code, const char* text) {
  KInstallTool::KInstallToolReport report;
  report.SetIdentity(KInstallTool::GetReportIdentity());
  report.set_third_number(L"");
  return report.ReportStep(kLeafEvent, step, value, code, text);
}

}  // namespace kbase

#pragma once
// The machine and channel facts copied into every report. Their owners (channel identity,
// machine identity, product survey) fill the record once at start-up; report objects
// take copies.
#include <string>

namespace KInstallTool {

struct ReportIdentity {
  std::wstring company_id;    // decimal texts
  std::wstring tryno_id;
  std::wstring third_number;  // kid, the third channel number
  std::wstring install_id;    // 32 uppercase hexadecimal digits
  std::wstring device_id;
  std::wstring survey_text;   // security products found
  int os_code = 0;            // system version code
};

// The process-wide record; safe to read and write from any thread.
void SetReportIdentity(const ReportIdentity& identity);
ReportIdentity GetReportIdentity();

}  // namespace KInstallTool

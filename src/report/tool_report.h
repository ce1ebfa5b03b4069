#pragma once
// The run controller's report sink: step (4680), phase (4679) and pop-up (5847) reports.
#include <cstdint>
#include <string>

#include "report/install_serialize.h"
#include "report/install_tool_report.h"
#include "report/report_identity.h"

namespace KInstallTool {

class KInstallToolBlock : public KDirectVestat::KInstallSerialize {
 public:
  explicit KInstallToolBlock(uint16_t table_id) : KInstallSerialize(table_id) {}
};

class KInstallToolReport : public kbase::IInstallToolReport {
 public:
  static constexpr uint16_t kStepTable = 4680;
  static constexpr uint16_t kPhaseTable = 4679;
  static constexpr uint16_t kPopupTable = 5847;

  KInstallToolReport() = default;

  int ReportStep(int event, int step, int value, int code, const char* text) override;
  int ReportPhase(int event, int result) override;
  ~KInstallToolReport() override;
  int ReportPopup(int kind, int result) override;

  // The owner's values: ids, texts and the system version code. The third number comes
  // along; a condition leaf clears it.
  void SetIdentity(const ReportIdentity& identity);
  void set_third_number(const std::wstring& text) { third_number_ = text; }
  // The matched channel entry's version.
  void set_channel_version(int version) { channel_version_ = version; }

 private:
  int phase_event_ = 0;
  int step_event_ = 0;
  int step_ = 0;
  int phase_result_ = 0;
  int os_code_ = 0;
  const int constant_a_ = 2;
  const int constant_b_ = 2;
  int step_value_ = 0;
  int step_code_ = 0;
  int channel_version_ = 2;
  std::wstring company_id_;
  std::wstring tryno_id_;
  std::wstring third_number_;
  std::wstring install_id_;
  std::wstring survey_text_;
  std::wstring device_id_;
  std::wstring step_text_;
  int popup_kind_ = 0;
  int popup_result_ = 0;
};

}  // namespace KInstallTool

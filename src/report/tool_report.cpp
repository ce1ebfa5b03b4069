#include "report/tool_report.h"

#include <memory>

#include "report/report_ansi.h"
#include "report/table_report.h"

namespace KInstallTool {

KInstallToolReport::~KInstallToolReport() = default;

void KInstallToolReport::SetIdentity(const ReportIdentity& identity) {
  company_id_ = identity.company_id;
  tryno_id_ = identity.tryno_id;
  third_number_ = identity.third_number;
  install_id_ = identity.install_id;
  survey_text_ = identity.survey_text;
  device_id_ = identity.device_id;
  os_code_ = identity.os_code;
}

int KInstallToolReport::ReportStep(int event, int step, int value, int code, const char* text) {
  step_event_ = event;
  step_ = step;
  step_value_ = value;
  step_code_ = code;
  step_text_ = text ? KDirectVestat::ReportTextFromAnsi(text) : std::wstring();
  auto block = std::make_unique<KInstallToolBlock>(kStepTable);
  block->PutDword(static_cast<uint32_t>(constant_b_));
  block->PutDword(static_cast<uint32_t>(step_event_));
  block->PutDword(static_cast<uint32_t>(step_));
  block->PutString(survey_text_);
  block->PutDword(static_cast<uint32_t>(step_value_));
  block->PutDword(static_cast<uint32_t>(step_code_));
  block->PutString(step_text_);
  return SendTableReport({install_id_, company_id_, tryno_id_, third_number_}, std::move(block));
}

int KInstallToolReport::ReportPhase(int event, int result) {
  phase_event_ = event;
  phase_result_ = result;
  auto block = std::make_unique<KInstallToolBlock>(kPhaseTable);
  block->PutDword(static_cast<uint32_t>(constant_a_));
  block->PutDword(static_cast<uint32_t>(channel_version_));
  block->PutDword(static_cast<uint32_t>(phase_event_));
  block->PutDword(static_cast<uint32_t>(phase_result_));
  block->PutString(survey_text_);
  block->PutDword(static_cast<uint32_t>(os_code_));
  block->PutString(device_id_);
  return SendTableReport({install_id_, company_id_, tryno_id_, third_number_}, std::move(block));
}

int KInstallToolReport::ReportPopup(int kind, int result) {
  popup_kind_ = kind;
  popup_result_ = result;
  auto block = std::make_unique<KInstallToolBlock>(kPopupTable);
  block->PutByte(1);
  block->PutByte(static_cast<uint8_t>(popup_kind_));
  block->PutByte(static_cast<uint8_t>(popup_result_));
  return SendTableReport({install_id_, company_id_, tryno_id_, third_number_}, std::move(block));
}

}  // namespace KInstallTool

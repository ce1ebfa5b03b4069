#include "report/ui_info_report.h"

#include <memory>

#include "report/table_report.h"

namespace KInstallTool {

KUIInfoReport::~KUIInfoReport() = default;

void KUIInfoReport::SetIdentity(const ReportIdentity& identity) {
  company_id = identity.company_id;
  tryno_id = identity.tryno_id;
  third_number = identity.third_number;
  install_id = identity.install_id;
  survey_text = identity.survey_text;
  device_id = identity.device_id;
}

int KUIInfoReport::Send() const {
  auto block = std::make_unique<KUIInfoBlock>();
  // The four flags make a one-byte bitmap at the head of the block.
  block->PutBool(flag4 != 0);
  block->PutBool(flag1 != 0);
  block->PutBool(flag2 != 0);
  block->PutBool(flag3 != 0);
  block->PutDword(static_cast<uint32_t>(event));
  block->PutDword(static_cast<uint32_t>(detail));
  block->PutDword(static_cast<uint32_t>(value));
  block->PutByte(kind);
  return SendTableReport({install_id, company_id, tryno_id, third_number}, std::move(block));
}

}  // namespace KInstallTool

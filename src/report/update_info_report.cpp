#include "report/update_info_report.h"

#include <memory>

#include "report/table_report.h"

namespace KInstallTool {

KUpdateInfoReport::~KUpdateInfoReport() = default;

int KUpdateInfoReport::Send() {
  auto block = std::make_unique<KUpdateInfoBlock>();
  block->PutDword(static_cast<uint32_t>(outcome_));
  block->PutDword(static_cast<uint32_t>(detail_));
  block->PutDword(static_cast<uint32_t>(download_error_));
  block->PutString(L"");  // the endpoint expects the field, always empty
  return SendTableReport(ZeroIds(install_id_), std::move(block));
}

}  // namespace KInstallTool

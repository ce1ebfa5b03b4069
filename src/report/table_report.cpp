#include "report/table_report.h"

#include "report/install_report.h"
#include "report/public_block.h"

namespace KInstallTool {

PublicIds ZeroIds(const std::wstring& install_id) { return {install_id, L"0", L"0", L"0"}; }

int SendTableReport(const PublicIds& ids,
                    std::unique_ptr<KDirectVestat::KInstallSerialize> table_block) {
  auto public_block = std::make_unique<KDirectVestat::KPublicBlock>();
  public_block->FillPublic(ids.install_id, ids.company_id, ids.tryno_id, ids.third_number);
  table_block->Finish();
  KDirectVestat::KInstallReport message;
  message.AddBlock(std::move(public_block));
  message.AddBlock(std::move(table_block));
  return message.Send();
}

}  // namespace KInstallTool

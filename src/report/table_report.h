#pragma once
// Sends one report message: the public block, then one table block.
#include <memory>
#include <string>

#include "report/install_serialize.h"

namespace KInstallTool {

// The texts of a report's public block. Empty or non-numeric ids go out as 0.
struct PublicIds {
  std::wstring install_id;
  std::wstring company_id;
  std::wstring tryno_id;
  std::wstring third_number;
};

// Reports that are not tied to a channel: "0" for every id, only the install id.
PublicIds ZeroIds(const std::wstring& install_id);

// Finishes the table block and sends it behind the public block; 0 or -1.
int SendTableReport(const PublicIds& ids,
                    std::unique_ptr<KDirectVestat::KInstallSerialize> table_block);

}  // namespace KInstallTool

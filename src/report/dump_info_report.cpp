#include "report/dump_info_report.h"

#include <memory>

#include "report/table_report.h"

namespace KInstallTool {

KDumpInfoReport::~KDumpInfoReport() = default;

int KDumpInfoReport::Send() const {
  auto block = std::make_unique<KDumpBlock>();
  block->PutString(device_id);
  block->PutDword(static_cast<uint32_t>(company_id));
  block->PutDword(static_cast<uint32_t>(tryno_id));
  block->PutString(module_name);
  block->PutString(module_version);
  block->PutDword(exception_code);
  block->PutDword(exception_address);
  block->PutString(process_name);
  block->PutString(process_version);
  block->PutDword(static_cast<uint32_t>(system_id));
  block->PutDword(static_cast<uint32_t>(is_64bit));
  block->PutDword(uptime_seconds);
  return SendTableReport(ZeroIds(install_id), std::move(block));
}

}  // namespace KInstallTool

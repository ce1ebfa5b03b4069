#pragma once
// Table 3806: the crash report.
#include <cstdint>
#include <string>

#include "report/install_serialize.h"

namespace KInstallTool {

class KDumpBlock : public KDirectVestat::KInstallSerialize {
 public:
  static constexpr uint16_t kTableId = 3806;
  KDumpBlock() : KInstallSerialize(kTableId) {}
};

class KDumpInfoReport {
 public:
  KDumpInfoReport() = default;
  virtual ~KDumpInfoReport();

  // Public block with zero ids and the install id; 0 or -1.
  int Send() const;

  std::wstring install_id;
  std::wstring device_id;
  int company_id = 0;
  int tryno_id = 0;
  std::wstring module_name;
  std::wstring module_version;
  uint32_t exception_code = 0;
  uint32_t exception_address = 0;  // low 32 bits
  std::wstring process_name;
  std::wstring process_version;
  int system_id = 0;
  int is_64bit = 0;
  uint32_t uptime_seconds = 0;
};

}  // namespace KInstallTool

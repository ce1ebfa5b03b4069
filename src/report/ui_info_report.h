#pragma once
// Table 5010: an interface event. A plain value: dialogs fill one and the report queue
// keeps copies, so no report is shared between threads.
#include <cstdint>
#include <string>

#include "report/install_serialize.h"
#include "report/report_identity.h"

namespace KInstallTool {

class KUIInfoBlock : public KDirectVestat::KInstallSerialize {
 public:
  static constexpr uint16_t kTableId = 5010;
  KUIInfoBlock() : KInstallSerialize(kTableId) {}
};

class KUIInfoReport {
 public:
  KUIInfoReport() = default;
  KUIInfoReport(const KUIInfoReport&) = default;
  KUIInfoReport& operator=(const KUIInfoReport&) = default;
  virtual ~KUIInfoReport();

  // Ids, install id, survey text and device id from the identity record.
  void SetIdentity(const ReportIdentity& identity);

  // Public block from the report's ids; 0 or -1.
  int Send() const;

  int detail = 0;
  int reserved = 0;
  std::wstring company_id;
  std::wstring tryno_id;
  std::wstring third_number;
  std::wstring install_id;
  std::wstring survey_text;
  std::wstring device_id;
  uint8_t flag1 = 0;
  uint8_t flag2 = 0;
  uint8_t flag3 = 0;
  uint8_t flag4 = 0;
  uint8_t kind = 2;
  int event = 0;
  int value = 0;
};

}  // namespace KInstallTool

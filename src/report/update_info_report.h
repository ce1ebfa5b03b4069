#pragma once
// Table 4033: the outcome of the self-update check, sent once at start-up.
#include <cstdint>
#include <string>

#include "report/install_serialize.h"

namespace KInstallTool {

class KUpdateInfoBlock : public KDirectVestat::KInstallSerialize {
 public:
  static constexpr uint16_t kTableId = 4033;
  KUpdateInfoBlock() : KInstallSerialize(kTableId) {}
};

class KUpdateInfoReport {
 public:
  KUpdateInfoReport() = default;
  virtual ~KUpdateInfoReport();

  void set_outcome(int outcome) { outcome_ = outcome; }
  void set_detail(int detail) { detail_ = detail; }
  void set_download_error(int error) { download_error_ = error; }
  void set_install_id(const std::wstring& id) { install_id_ = id; }

  // Public block with zero ids; 0 or -1.
  int Send();

 private:
  int outcome_ = 0;
  int detail_ = 0;
  int download_error_ = 0;
  std::wstring install_id_;
};

}  // namespace KInstallTool

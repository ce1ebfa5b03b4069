#pragma once
// Table 3769: the chain of programs that started the installer, sent once per run.
#include <cstdint>
#include <string>

#include "report/install_serialize.h"

namespace KInstallTool {

class KProcessInfoBlock : public KDirectVestat::KInstallSerialize {
 public:
  static constexpr uint16_t kTableId = 3769;
  KProcessInfoBlock() : KInstallSerialize(kTableId) {}
};

class KProcessInfoReport {
 public:
  // Names and digests are cut to this many characters.
  static constexpr size_t kMaxText = 50;

  KProcessInfoReport() = default;
  virtual ~KProcessInfoReport();

  void set_parent(const std::wstring& name, const std::wstring& digest);
  void set_grandparent(const std::wstring& name, const std::wstring& digest);
  void set_great_grandparent(const std::wstring& name, const std::wstring& digest);
  void set_flag(uint8_t flag) { flag_ = flag; }
  void set_company_id(int id) { company_id_ = id; }
  void set_tryno_id(int id) { tryno_id_ = id; }
  void set_install_id(const std::wstring& id) { install_id_ = id; }

  // Public block with zero ids; 0 or -1.
  int Send();

 private:
  std::wstring parent_name_;
  std::wstring parent_digest_;
  std::wstring grandparent_name_;
  std::wstring grandparent_digest_;
  std::wstring great_grandparent_name_;
  std::wstring great_grandparent_digest_;
  uint8_t flag_ = 0;
  int company_id_ = 0;
  int tryno_id_ = 0;
  std::wstring install_id_;
};

}  // namespace KInstallTool

#include "report/process_info_report.h"

#include <memory>

#include "report/table_report.h"

namespace KInstallTool {

namespace {

std::wstring Cut(const std::wstring& text) {
  return text.substr(0, KProcessInfoReport::kMaxText);
}

}  // namespace

KProcessInfoReport::~KProcessInfoReport() = default;

void KProcessInfoReport::set_parent(const std::wstring& name, const std::wstring& digest) {
  parent_name_ = Cut(name);
  parent_digest_ = Cut(digest);
}

void KProcessInfoReport::set_grandparent(const std::wstring& name, const std::wstring& digest) {
  grandparent_name_ = Cut(name);
  grandparent_digest_ = Cut(digest);
}

void KProcessInfoReport::set_great_grandparent(const std::wstring& name,
                                               const std::wstring& digest) {
  great_grandparent_name_ = Cut(name);
  great_grandparent_digest_ = Cut(digest);
}

int KProcessInfoReport::Send() {
  auto block = std::make_unique<KProcessInfoBlock>();
  block->PutString(parent_name_);
  block->PutString(parent_digest_);
  block->PutString(grandparent_name_);
  block->PutString(grandparent_digest_);
  block->PutString(great_grandparent_name_);
  block->PutString(great_grandparent_digest_);
  block->PutByte(flag_);
  block->PutDword(static_cast<uint32_t>(company_id_));
  block->PutDword(static_cast<uint32_t>(tryno_id_));
  return SendTableReport(ZeroIds(install_id_), std::move(block));
}

}  // namespace KInstallTool

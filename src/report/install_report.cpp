#include "report/install_report.h"

#include <mutex>

#include "build_settings.h"
#include "common/codec/crc32.h"

namespace KDirectVestat {

namespace {

std::mutex g_host_lock;
std::string& HostOverride() {
  static std::string host;
  return host;
}

void StoreLittleEndian(std::string* bytes, size_t offset, uint32_t value, size_t width) {
  for (size_t i = 0; i < width; ++i) (*bytes)[offset + i] = static_cast<char>(value >> (8 * i));
}

}  // namespace

KInstallReport::~KInstallReport() = default;

void KInstallReport::AddBlock(std::unique_ptr<KInstallSerialize> block) {
  if (block) blocks_.push_back(std::move(block));
}

bool KInstallReport::BuildBody(std::string* body) const {
  size_t total = kHeaderSize;
  for (const auto& block : blocks_) {
    if (block->oversized()) return false;
    total += block->size();
  }
  if (total > kMaxMessageSize || blocks_.size() > 0xFFFF) return false;

  std::string out(kHeaderSize, '\0');
  out.reserve(total);
  uint32_t crc = 0;
  for (const auto& block : blocks_) {
    crc = kbase::Crc32(block->data(), block->size(), crc);
    out.append(reinterpret_cast<const char*>(block->data()), block->size());
  }
  StoreLittleEndian(&out, 0, static_cast<uint32_t>(out.size()), 2);
  out[2] = 2;
  out[3] = 1;
  StoreLittleEndian(&out, 4, static_cast<uint32_t>(blocks_.size()), 2);
  StoreLittleEndian(&out, 6, crc, 4);
  *body = std::move(out);
  return true;
}

std::string ReportHost() {
  std::lock_guard<std::mutex> hold(g_host_lock);
  return HostOverride().empty() ? std::string(kbase::kReportHost) : HostOverride();
}

void SetReportHostForTesting(const std::string& host) {
  std::lock_guard<std::mutex> hold(g_host_lock);
  HostOverride() = host;
}

}  // namespace KDirectVestat

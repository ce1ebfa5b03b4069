#include "report/install_serialize.h"

#include "build_settings.h"
#include "report/report_ansi.h"

namespace KDirectVestat {

namespace {

void AppendLittleEndian(GrowableBuffer* buffer, uint32_t value, size_t width) {
  uint8_t bytes[4];
  for (size_t i = 0; i < width; ++i) bytes[i] = static_cast<uint8_t>(value >> (8 * i));
  buffer->Append(bytes, width);
}

}  // namespace

KInstallSerialize::~KInstallSerialize() = default;

void KInstallSerialize::PutByte(uint8_t value) { fields_.Append(&value, 1); }

void KInstallSerialize::PutWord(uint16_t value) { AppendLittleEndian(&fields_, value, 2); }

void KInstallSerialize::PutDword(uint32_t value) { AppendLittleEndian(&fields_, value, 4); }

void KInstallSerialize::PutString(const std::wstring& text) {
  std::string bytes = ReportTextToAnsi(text);
  if (bytes.size() > kMaxStringBytes) {
    // The count would wrap and the reader would lose its place in every later field.
    oversized_ = true;
    bytes.resize(kMaxStringBytes);
  }
  AppendLittleEndian(&fields_, static_cast<uint32_t>(bytes.size()), 2);
  for (char& c : bytes) c = static_cast<char>(static_cast<uint8_t>(c) ^ kbase::kStringMask);
  fields_.Append(bytes.data(), bytes.size());
}

void KInstallSerialize::PutBytes16(const uint8_t (&bytes)[16]) {
  AppendLittleEndian(&fields_, 16, 2);
  fields_.Append(bytes, 16);
}

void KInstallSerialize::PutBool(bool value) { flags_.push_back(value ? 1 : 0); }

void KInstallSerialize::Finish() {
  output_.Clear();
  AppendLittleEndian(&output_, table_id_, 2);
  std::vector<uint8_t> bitmap((flags_.size() + 7) / 8, 0);
  for (size_t i = 0; i < flags_.size(); ++i) {
    if (flags_[i]) bitmap[i / 8] |= static_cast<uint8_t>(1u << (i % 8));
  }
  output_.Append(bitmap.data(), bitmap.size());
  output_.Append(fields_.data(), fields_.size());
}

}  // namespace KDirectVestat

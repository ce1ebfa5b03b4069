#pragma once
// One telemetry record ("block"): a table id, a bitmap of the boolean fields and the
// other fields in the order they were put, with no names on the wire. All numbers are
// little-endian.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "report/growable_buffer.h"

namespace KDirectVestat {

class KInstallSerialize {
 public:
  // Strings carry a 16-bit byte count; a longer one cannot be framed.
  static constexpr size_t kMaxStringBytes = 0xFFFF;

  explicit KInstallSerialize(uint16_t table_id) : table_id_(table_id) {}
  virtual ~KInstallSerialize();
  KInstallSerialize(const KInstallSerialize&) = delete;
  KInstallSerialize& operator=(const KInstallSerialize&) = delete;

  void PutByte(uint8_t value);
  void PutWord(uint16_t value);
  void PutDword(uint32_t value);
  // The text in the ANSI code page: a 16-bit byte count, then the bytes, each XORed with
  // the build's string mask.
  void PutString(const std::wstring& text);
  // The count 16, then the 16 bytes as they are.
  void PutBytes16(const uint8_t (&bytes)[16]);
  // Only a flag entry; the flags go into the bitmap at the head of the finished block.
  void PutBool(bool value);

  // Builds the output: table id, flag bitmap (ceil(n/8) bytes, flag i in bit i%8 of byte
  // i/8), the fields.
  void Finish();

  uint16_t table_id() const { return table_id_; }
  const uint8_t* data() const { return output_.data(); }
  size_t size() const { return output_.size(); }
  // A string of more than kMaxStringBytes was put: the block must not be sent.
  bool oversized() const { return oversized_; }

 private:
  GrowableBuffer fields_;
  GrowableBuffer output_;
  std::vector<uint8_t> flags_;
  uint16_t table_id_;
  bool oversized_ = false;
};

}  // namespace KDirectVestat

#include "config/city_info_record.h"

#include "common/codec/crc32.h"

namespace kbase {
namespace {

void PutLittleEndian(std::string* out, size_t offset, uint32_t value, size_t bytes) {
  for (size_t i = 0; i < bytes; ++i) {
    (*out)[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  }
}

uint32_t ReadUint32(std::string_view bytes, size_t offset) {
  uint32_t value = 0;
  for (size_t i = 0; i < 4; ++i) {
    value |= static_cast<uint32_t>(static_cast<uint8_t>(bytes[offset + i])) << (8 * i);
  }
  return value;
}

}  // namespace

void ScrambleCityInfo(void* data, size_t size) {
  auto* bytes = static_cast<uint8_t*>(data);
  constexpr size_t kKeySize = sizeof(kCityInfoKey) - 1;
  for (size_t i = 0; i < size; ++i) {
    bytes[i] ^= static_cast<uint8_t>(kCityInfoKey[i % kKeySize]);
  }
}

std::string BuildCityInfoRequest(std::string_view request_id) {
  std::string record(kCityInfoRequestSize, '\0');
  PutLittleEndian(&record, 0, kCityInfoRequestSize, 2);
  const size_t id_offset = kCityInfoHeaderSize + 2;
  const size_t id_size = request_id.size() < kCityInfoIdSize ? request_id.size() : kCityInfoIdSize;
  record.replace(id_offset, id_size, request_id.substr(0, id_size));
  char* payload = &record[kCityInfoHeaderSize];
  const size_t payload_size = kCityInfoRequestSize - kCityInfoHeaderSize;
  ScrambleCityInfo(payload, payload_size);
  PutLittleEndian(&record, 2, Crc32(payload, payload_size), 4);
  return record;
}

CityInfoReply ParseCityInfoReply(std::string_view reply, std::string* text) {
  text->clear();
  if (reply.size() <= kCityInfoHeaderSize) return CityInfoReply::kCorrupt;
  const std::string_view body = reply.substr(kCityInfoHeaderSize);
  if (ReadUint32(reply, 2) != Crc32(body.data(), body.size())) return CityInfoReply::kCorrupt;
  std::string plain(body);
  ScrambleCityInfo(&plain[0], plain.size());
  const size_t end = plain.find('\0');
  if (end != std::string::npos) plain.resize(end);
  *text = std::move(plain);
  return IsCityInfoErrorAnswer(*text) ? CityInfoReply::kErrorAnswer : CityInfoReply::kAnswer;
}

bool IsCityInfoErrorAnswer(std::string_view text) {
  return text.size() >= 2 && (text[0] == '1' || text[0] == '2') && text[1] == '#';
}

}  // namespace kbase

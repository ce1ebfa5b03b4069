#pragma once
// The city information service's wire format. A request is 28 bytes:
//
//   offset 0  u16  total length (28)
//   offset 2  u32  CRC-32 of bytes 6..27 as sent
//   offset 6  22   scrambled payload: u16 0, 16 bytes of request id, u32 0
//
// A reply is two bytes that are not examined, the CRC-32 of the rest as received, then
// the scrambled text. Scrambling XORs byte i with key byte (i mod 16), restarting at key
// position 0 for every buffer, so it also descrambles. Integers are little-endian.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kbase {

inline constexpr char kCityInfoKey[] = "pTmqWxoBdkRfYzsE";
inline constexpr size_t kCityInfoRequestSize = 28;
inline constexpr size_t kCityInfoHeaderSize = 6;
inline constexpr size_t kCityInfoIdSize = 16;

void ScrambleCityInfo(void* data, size_t size);

// The request for an id; only its first 16 bytes are sent, and a shorter id is filled
// with zero bytes.
std::string BuildCityInfoRequest(std::string_view request_id);

enum class CityInfoReply {
  kAnswer,       // a text to read as JSON
  kErrorAnswer,  // a text beginning with "1#" or "2#"
  kCorrupt,      // 6 bytes or fewer, or a CRC that does not match
};

// Checks and descrambles a reply. *text gets the UTF-8 text up to its first zero byte,
// for answers and error answers alike.
CityInfoReply ParseCityInfoReply(std::string_view reply, std::string* text);

// True for "1#..." and "2#..." (the service's refusals).
bool IsCityInfoErrorAnswer(std::string_view text);

}  // namespace kbase

#include "common/codec/base64.h"

#include <mbedtls/base64.h>

namespace kbase {

namespace {

bool IsAlphabet(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
         c == '+' || c == '/' || c == '=';
}

}  // namespace

std::string Base64Decode(std::string_view text) {
  if (text.empty() || text.size() % 4 != 0) return {};
  // The library skips line breaks and spaces inside the text; the transport does not.
  for (char c : text) {
    if (!IsAlphabet(c)) return {};
  }
  std::string out(text.size() / 4 * 3, '\0');
  size_t written = 0;
  if (mbedtls_base64_decode(reinterpret_cast<unsigned char*>(&out[0]), out.size(), &written,
                            reinterpret_cast<const unsigned char*>(text.data()), text.size()) != 0) {
    return {};
  }
  out.resize(written);
  return out;
}

std::string Base64Encode(std::string_view bytes) {
  std::string out((bytes.size() + 2) / 3 * 4 + 1, '\0');
  size_t written = 0;
  if (mbedtls_base64_encode(reinterpret_cast<unsigned char*>(&out[0]), out.size(), &written,
                            reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()) != 0) {
    return {};
  }
  out.resize(written);
  return out;
}

}  // namespace kbase

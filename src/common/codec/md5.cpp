#include "common/codec/md5.h"

#include <mbedtls/md5.h>

namespace kbase {

struct Md5::Context {
  mbedtls_md5_context md5;
};

Md5::Md5() : context_(new Context) {
  mbedtls_md5_init(&context_->md5);
  mbedtls_md5_starts_ret(&context_->md5);
}

Md5::~Md5() { mbedtls_md5_free(&context_->md5); }

void Md5::Update(const void* data, size_t size) {
  mbedtls_md5_update_ret(&context_->md5, static_cast<const unsigned char*>(data), size);
}

Md5Digest Md5::Finish() {
  Md5Digest digest{};
  mbedtls_md5_finish_ret(&context_->md5, digest.data());
  mbedtls_md5_starts_ret(&context_->md5);
  return digest;
}

Md5Digest Md5Of(const void* data, size_t size) {
  Md5 md5;
  md5.Update(data, size);
  return md5.Finish();
}

std::string Md5ToHex(const Md5Digest& digest) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  hex.reserve(digest.size() * 2);
  for (uint8_t b : digest) {
    hex.push_back(kDigits[b >> 4]);
    hex.push_back(kDigits[b & 0x0F]);
  }
  return hex;
}

}  // namespace kbase

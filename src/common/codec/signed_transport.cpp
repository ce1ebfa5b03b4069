#include "common/codec/signed_transport.h"

#include <mbedtls/rsa.h>

#include <cstring>

#include "common/codec/base64.h"

namespace kbase {

namespace {

constexpr size_t kMinPaddingBytes = 8;

// Owns an mbedtls RSA context loaded with a public key.
class RsaPublicContext {
 public:
  explicit RsaPublicContext(const RsaPublicKey& key) {
    mbedtls_rsa_init(&rsa_, MBEDTLS_RSA_PKCS_V15, 0);
    ok_ = mbedtls_rsa_import_raw(&rsa_, key.modulus, sizeof key.modulus, nullptr, 0, nullptr, 0,
                                 nullptr, 0, key.exponent, sizeof key.exponent) == 0 &&
          mbedtls_rsa_complete(&rsa_) == 0 && mbedtls_rsa_get_len(&rsa_) == kRsaBlockSize;
  }
  ~RsaPublicContext() { mbedtls_rsa_free(&rsa_); }
  RsaPublicContext(const RsaPublicContext&) = delete;
  RsaPublicContext& operator=(const RsaPublicContext&) = delete;

  bool ok() const { return ok_; }

  // Appends the block's payload; false when the operation or the padding fails.
  bool Unwrap(const uint8_t* block, std::string* out) {
    uint8_t plain[kRsaBlockSize];
    if (mbedtls_rsa_public(&rsa_, block, plain) != 0) return false;
    // 00 01, at least eight FF, 00, payload.
    if (plain[0] != 0x00 || plain[1] != 0x01) return false;
    size_t i = 2;
    while (i < kRsaBlockSize && plain[i] == 0xFF) ++i;
    if (i - 2 < kMinPaddingBytes || i == kRsaBlockSize || plain[i] != 0x00) return false;
    ++i;
    out->append(reinterpret_cast<const char*>(plain + i), kRsaBlockSize - i);
    return true;
  }

 private:
  mbedtls_rsa_context rsa_;
  bool ok_ = false;
};

}  // namespace

bool ParseRsaPublicKey(const uint8_t* blob, size_t size, RsaPublicKey* key) {
  if (blob == nullptr || size != kRsaPublicKeyBlobSize) return false;
  key->bits = static_cast<uint16_t>(blob[0] | (blob[1] << 8));
  std::memcpy(key->modulus, blob + 2, kRsaBlockSize);
  std::memcpy(key->exponent, blob + 2 + kRsaBlockSize, kRsaBlockSize);
  return key->bits == kRsaBlockSize * 8 && (key->modulus[0] & 0x80) != 0;
}

std::string UnwrapRsaBlocks(std::string_view blocks, const RsaPublicKey& key) {
  std::string text;
  RsaPublicContext rsa(key);
  if (!rsa.ok()) return text;
  const uint8_t* p = reinterpret_cast<const uint8_t*>(blocks.data());
  for (size_t offset = 0; offset + kRsaBlockSize <= blocks.size(); offset += kRsaBlockSize) {
    if (!rsa.Unwrap(p + offset, &text)) break;
  }
  return text;
}

std::string DecodeSignedTransport(std::string_view body, const RsaPublicKey& key) {
  return UnwrapRsaBlocks(Base64Decode(body), key);
}

}  // namespace kbase

#include "tools/sign/transport_signer.h"

#include <mbedtls/ctr_drbg.h>
#include <mbedtls/entropy.h>
#include <mbedtls/pk.h>
#include <mbedtls/rsa.h>

#include <cstring>

#include "common/codec/base64.h"

namespace kbase {

struct TransportSigner::Key {
  Key() {
    mbedtls_pk_init(&pk);
    mbedtls_entropy_init(&entropy);
    mbedtls_ctr_drbg_init(&drbg);
  }
  ~Key() {
    mbedtls_ctr_drbg_free(&drbg);
    mbedtls_entropy_free(&entropy);
    mbedtls_pk_free(&pk);
  }
  bool SeedRandom() {
    static const char kPersonal[] = "kinst-sign";
    return mbedtls_ctr_drbg_seed(&drbg, mbedtls_entropy_func, &entropy,
                                 reinterpret_cast<const unsigned char*>(kPersonal),
                                 sizeof kPersonal - 1) == 0;
  }
  mbedtls_rsa_context* rsa() { return mbedtls_pk_rsa(pk); }

  mbedtls_pk_context pk;
  mbedtls_entropy_context entropy;
  mbedtls_ctr_drbg_context drbg;
};

TransportSigner::TransportSigner(std::unique_ptr<Key> key) : key_(std::move(key)) {}
TransportSigner::~TransportSigner() = default;

std::unique_ptr<TransportSigner> TransportSigner::Generate(std::string* error) {
  auto key = std::make_unique<Key>();
  if (!key->SeedRandom() ||
      mbedtls_pk_setup(&key->pk, mbedtls_pk_info_from_type(MBEDTLS_PK_RSA)) != 0 ||
      mbedtls_rsa_gen_key(key->rsa(), mbedtls_ctr_drbg_random, &key->drbg, kRsaBlockSize * 8,
                          65537) != 0) {
    *error = "key generation failed";
    return nullptr;
  }
  return std::unique_ptr<TransportSigner>(new TransportSigner(std::move(key)));
}

std::unique_ptr<TransportSigner> TransportSigner::FromPem(std::string_view pem,
                                                          std::string* error) {
  auto key = std::make_unique<Key>();
  std::string text(pem);  // the parser wants the terminating zero counted
  if (!key->SeedRandom() ||
      mbedtls_pk_parse_key(&key->pk, reinterpret_cast<const unsigned char*>(text.c_str()),
                           text.size() + 1, nullptr, 0) != 0 ||
      mbedtls_pk_get_type(&key->pk) != MBEDTLS_PK_RSA) {
    *error = "not an RSA private key in PEM form";
    return nullptr;
  }
  if (mbedtls_rsa_get_len(key->rsa()) != kRsaBlockSize) {
    *error = "the key is not 1024 bits long";
    return nullptr;
  }
  return std::unique_ptr<TransportSigner>(new TransportSigner(std::move(key)));
}

std::string TransportSigner::PrivateKeyPem() const {
  unsigned char buffer[4096];
  if (mbedtls_pk_write_key_pem(&key_->pk, buffer, sizeof buffer) != 0) return {};
  return reinterpret_cast<const char*>(buffer);
}

std::array<uint8_t, kRsaPublicKeyBlobSize> TransportSigner::PublicKeyBlob() const {
  std::array<uint8_t, kRsaPublicKeyBlobSize> blob{};
  const uint16_t bits = kRsaBlockSize * 8;
  blob[0] = static_cast<uint8_t>(bits & 0xFF);
  blob[1] = static_cast<uint8_t>(bits >> 8);
  mbedtls_rsa_export_raw(key_->rsa(), blob.data() + 2, kRsaBlockSize, nullptr, 0, nullptr, 0,
                         nullptr, 0, blob.data() + 2 + kRsaBlockSize, kRsaBlockSize);
  return blob;
}

RsaPublicKey TransportSigner::PublicKey() const {
  const auto blob = PublicKeyBlob();
  RsaPublicKey key;
  ParseRsaPublicKey(blob.data(), blob.size(), &key);
  return key;
}

std::string TransportSigner::PrivateOperation(const std::string& plain_block) const {
  if (plain_block.size() != kRsaBlockSize) return {};
  std::string out(kRsaBlockSize, '\0');
  if (mbedtls_rsa_private(key_->rsa(), mbedtls_ctr_drbg_random, &key_->drbg,
                          reinterpret_cast<const unsigned char*>(plain_block.data()),
                          reinterpret_cast<unsigned char*>(&out[0])) != 0) {
    return {};
  }
  return out;
}

std::string TransportSigner::SignBlocks(std::string_view text) const {
  std::string blocks;
  for (size_t offset = 0; offset < text.size(); offset += kRsaMaxPayload) {
    const std::string_view piece = text.substr(offset, kRsaMaxPayload);
    std::string plain(kRsaBlockSize, '\xFF');
    plain[0] = '\x00';
    plain[1] = '\x01';
    const size_t start = kRsaBlockSize - piece.size();
    plain[start - 1] = '\x00';
    std::memcpy(&plain[start], piece.data(), piece.size());
    blocks += PrivateOperation(plain);
  }
  return blocks;
}

std::string TransportSigner::Sign(std::string_view text) const {
  return Base64Encode(SignBlocks(text));
}

std::string BlobToHex(const uint8_t* data, size_t size) {
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (size_t i = 0; i < size; ++i) {
    hex.push_back(kDigits[data[i] >> 4]);
    hex.push_back(kDigits[data[i] & 0x0F]);
  }
  return hex;
}

bool HexToBlob(std::string_view hex, std::string* bytes) {
  auto nibble = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  bytes->clear();
  std::string digits;
  for (char c : hex) {
    if (c != ' ' && c != '\n' && c != '\r' && c != '\t') digits.push_back(c);
  }
  if (digits.size() % 2 != 0) return false;
  for (size_t i = 0; i < digits.size(); i += 2) {
    const int hi = nibble(digits[i]), lo = nibble(digits[i + 1]);
    if (hi < 0 || lo < 0) return false;
    bytes->push_back(static_cast<char>(hi << 4 | lo));
  }
  return true;
}

}  // namespace kbase

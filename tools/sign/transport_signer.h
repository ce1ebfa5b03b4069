#pragma once
// The signing side of the signed transport, as the configuration server prepares
// documents: the text in pieces of at most 117 bytes, each padded with PKCS #1 v1.5
// block type 1 and put through the private key, the blocks concatenated and Base64-encoded.
#include <array>
#include <memory>
#include <string>
#include <string_view>

#include "common/codec/signed_transport.h"

namespace kbase {

class TransportSigner {
 public:
  ~TransportSigner();
  TransportSigner(const TransportSigner&) = delete;
  TransportSigner& operator=(const TransportSigner&) = delete;

  // A fresh 1024-bit key with public exponent 65537.
  static std::unique_ptr<TransportSigner> Generate(std::string* error);
  // A private key in PEM form, as PrivateKeyPem writes it.
  static std::unique_ptr<TransportSigner> FromPem(std::string_view pem, std::string* error);

  std::string PrivateKeyPem() const;
  std::array<uint8_t, kRsaPublicKeyBlobSize> PublicKeyBlob() const;
  RsaPublicKey PublicKey() const;

  // Raw concatenated blocks, before Base64.
  std::string SignBlocks(std::string_view text) const;
  // One block around an arbitrary padded 128-byte plaintext, for malformed fixtures.
  std::string PrivateOperation(const std::string& plain_block) const;
  // Base64 of SignBlocks: the transport text.
  std::string Sign(std::string_view text) const;

 private:
  struct Key;
  explicit TransportSigner(std::unique_ptr<Key> key);
  std::unique_ptr<Key> key_;
};

// Hexadecimal text of a key blob, the form the build reads, and back.
std::string BlobToHex(const uint8_t* data, size_t size);
bool HexToBlob(std::string_view hex, std::string* bytes);

}  // namespace kbase

#pragma once
// The transport of signed documents (channel configuration, alternative-package list):
// Base64 text of 128-byte RSA blocks, each opened with the built-in public key and
// carrying PKCS #1 v1.5 block-type-1 padding around up to 117 bytes of payload.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kbase {

constexpr size_t kRsaBlockSize = 128;
constexpr size_t kRsaMaxPayload = 117;
// A 16-bit bit count (little-endian, as held in memory), then the modulus and the
// public exponent, each 128 bytes big-endian and left-filled with zeros.
constexpr size_t kRsaPublicKeyBlobSize = 2 + 2 * kRsaBlockSize;

struct RsaPublicKey {
  uint16_t bits = 0;
  uint8_t modulus[kRsaBlockSize] = {};
  uint8_t exponent[kRsaBlockSize] = {};
};

// False unless the blob has the layout above and describes a 1024-bit key.
bool ParseRsaPublicKey(const uint8_t* blob, size_t size, RsaPublicKey* key);

// Opens a sequence of blocks. A length that is not a multiple of 128, or a block whose
// padding is wrong, stops decoding: the payloads before it are the result.
std::string UnwrapRsaBlocks(std::string_view blocks, const RsaPublicKey& key);

// Base64 decoding followed by UnwrapRsaBlocks.
std::string DecodeSignedTransport(std::string_view body, const RsaPublicKey& key);

}  // namespace kbase

#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace kbase {

using Md5Digest = std::array<uint8_t, 16>;

// Incremental MD5 (RFC 1321), for digests of files read in small pieces.
class Md5 {
 public:
  Md5();
  ~Md5();
  Md5(const Md5&) = delete;
  Md5& operator=(const Md5&) = delete;

  void Update(const void* data, size_t size);
  // Ends the digest; the object starts over afterwards.
  Md5Digest Finish();

 private:
  struct Context;
  std::unique_ptr<Context> context_;
};

Md5Digest Md5Of(const void* data, size_t size);

// Upper-case hexadecimal, two digits a byte ("%02X" each), as digests are compared.
std::string Md5ToHex(const Md5Digest& digest);

}  // namespace kbase

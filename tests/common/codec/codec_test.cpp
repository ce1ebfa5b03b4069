// CRC-32, MD5 and Base64 against published vectors and the transport's rules.
#include <gtest/gtest.h>

#include <string>

#include "common/codec/base64.h"
#include "common/codec/crc32.h"
#include "common/codec/md5.h"

namespace kbase {
namespace {

TEST(Crc32, MatchesZlibCheckValueAndContinues) {
  EXPECT_EQ(Crc32("123456789", 9), 0xCBF43926u);
  EXPECT_EQ(Crc32("", 0), 0u);
  // Continuing over pieces equals one pass.
  EXPECT_EQ(Crc32("6789", 4, Crc32("12345", 5)), 0xCBF43926u);
}

TEST(Md5, Rfc1321TestSuite) {
  const struct {
    const char* input;
    const char* digest;
  } kCases[] = {
      {"", "D41D8CD98F00B204E9800998ECF8427E"},
      {"a", "0CC175B9C0F1B6A831C399E269772661"},
      {"abc", "900150983CD24FB0D6963F7D28E17F72"},
      {"message digest", "F96B697D7CB7938D525A2F31AAF161D0"},
      {"abcdefghijklmnopqrstuvwxyz", "C3FCD3D76192E4007DFB496CCA67E13B"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
       "D174AB98D277D9F5A5611C2C9F419D9F"},
      {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       "57EDF4A22BE3C955AC49DA2E2107B67A"},
  };
  for (const auto& c : kCases) {
    const std::string input = c.input;
    EXPECT_EQ(Md5ToHex(Md5Of(input.data(), input.size())), c.digest) << '"' << input << '"';
  }
}

TEST(Md5, PiecesOf255BytesEqualOnePass) {
  std::string data(100000, '\0');
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 31 + 7);
  Md5 md5;
  for (size_t offset = 0; offset < data.size(); offset += 255) {
    md5.Update(data.data() + offset, std::min<size_t>(255, data.size() - offset));
  }
  EXPECT_EQ(md5.Finish(), Md5Of(data.data(), data.size()));
  // Finish starts over.
  md5.Update("abc", 3);
  EXPECT_EQ(Md5ToHex(md5.Finish()), "900150983CD24FB0D6963F7D28E17F72");
}

TEST(Base64, DecodesOnlyWholeQuadsOfTheAlphabet) {
  const struct {
    const char* text;
    std::string bytes;
  } kCases[] = {
      {"TWFu", "Man"},
      {"TWE=", "Ma"},
      {"TQ==", "M"},
      {"AP8A", std::string("\x00\xff\x00", 3)},
      {"", ""},
      {"TWFuT", ""},        // 5 characters
      {"TWFu\n", ""},       // a trailing line break
      {"TW\nFu", ""},       // a line break inside: length not a multiple of 4
      {"TW\nF", ""},        // a line break counted in a multiple of 4
      {"TW u", ""},         // a space
      {"TW*u", ""},         // not in the alphabet
      {"T===", ""},         // too much padding
      {"TQ==TWFu", ""},     // padding in the middle
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(Base64Decode(c.text), c.bytes) << '"' << c.text << '"';
  }
}

TEST(Base64, EncodeRoundTrips) {
  for (size_t n = 0; n < 70; ++n) {
    std::string bytes(n, '\0');
    for (size_t i = 0; i < n; ++i) bytes[i] = static_cast<char>(i * 37 + n);
    const std::string text = Base64Encode(bytes);
    EXPECT_EQ(text.size(), (n + 2) / 3 * 4);
    if (n > 0) {
      EXPECT_EQ(Base64Decode(text), bytes) << n;
    }
  }
}

}  // namespace
}  // namespace kbase

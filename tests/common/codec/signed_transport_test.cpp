// The signed transport: RSA blocks with strict block-type-1 padding, stopping at the
// first bad block, and agreement with the signing side.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "build_settings.h"
#include "common/codec/base64.h"
#include "common/codec/signed_transport.h"
#include "test_keys.h"
#include "tools/sign/transport_signer.h"

namespace kbase {
namespace {

class SignedTransport : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::string error;
    signer_ = TransportSigner::FromPem(kTestPrivateKeyPem, &error).release();
    ASSERT_NE(signer_, nullptr) << error;
    key_ = signer_->PublicKey();
  }
  static void TearDownTestSuite() { delete signer_; }

  // A block around a hand-made 128-byte plaintext.
  static std::string Block(const std::string& plain) { return signer_->PrivateOperation(plain); }

  static std::string Padded(size_t ff_count, const std::string& payload, char type = 1) {
    std::string plain = std::string("\x00", 1) + type + std::string(ff_count, '\xFF') +
                        std::string("\x00", 1) + payload;
    return plain;
  }

  static TransportSigner* signer_;
  static RsaPublicKey key_;
};

TransportSigner* SignedTransport::signer_ = nullptr;
RsaPublicKey SignedTransport::key_;

TEST_F(SignedTransport, RoundTripsTextsAroundBlockSizes) {
  for (size_t length : {1u, 116u, 117u, 118u, 234u, 235u, 1000u}) {
    std::string text;
    for (size_t i = 0; i < length; ++i) text.push_back(static_cast<char>('a' + i % 26));
    const std::string body = signer_->Sign(text);
    EXPECT_EQ(Base64Decode(body).size(), (length + kRsaMaxPayload - 1) / kRsaMaxPayload * 128);
    EXPECT_EQ(DecodeSignedTransport(body, key_), text) << length;
  }
  const std::string utf8 = "<root name=\"\xE4\xB8\xAD\xE6\x96\x87\"/>";
  EXPECT_EQ(DecodeSignedTransport(signer_->Sign(utf8), key_), utf8);
}

TEST_F(SignedTransport, PaddingIsCheckedStrictly) {
  const std::string p117(117, 'x');
  const struct {
    const char* name;
    std::string plain;
    bool accepted;
    std::string payload;
  } kCases[] = {
      {"eight FF, 117-byte payload", Padded(8, p117), true, p117},
      {"all room as FF, empty payload", Padded(125, ""), true, ""},
      {"seven FF", std::string("\x00\x01", 2) + std::string(7, '\xFF') + std::string(1, '\0') +
                       std::string(118, 'x'), false, ""},
      {"block type 2", Padded(8, p117, 2), false, ""},
      {"block type 0", Padded(8, p117, 0), false, ""},
      {"no zero after the FF run", std::string("\x00\x01", 2) + std::string(126, '\xFF'), false, ""},
      {"a foreign byte in the FF run",
       std::string("\x00\x01", 2) + std::string(4, '\xFF') + "\xFE" + std::string(4, '\xFF') +
           std::string(1, '\0') + std::string(116, 'x'), false, ""},
      {"first byte not zero", std::string("\x01\x01", 2) + std::string(8, '\xFF') +
                                   std::string(1, '\0') + p117, false, ""},
  };
  for (const auto& c : kCases) {
    ASSERT_EQ(c.plain.size(), kRsaBlockSize) << c.name;
    const std::string good = signer_->SignBlocks("tail");
    // A bad block stops decoding, so the good block after it never counts.
    const std::string decoded = UnwrapRsaBlocks(Block(c.plain) + good, key_);
    EXPECT_EQ(decoded, c.accepted ? c.payload + "tail" : "") << c.name;
  }
}

TEST_F(SignedTransport, StopsAtTheFirstBadBlockOrLength) {
  const std::string first = signer_->SignBlocks("first");
  const std::string second = signer_->SignBlocks("second");
  const std::string garbage(kRsaBlockSize, '\xFF');  // above the modulus
  const struct {
    const char* name;
    std::string blocks;
    std::string text;
  } kCases[] = {
      {"empty", "", ""},
      {"127 bytes", first.substr(0, 127), ""},
      {"one block and 127 bytes", first + second.substr(0, 127), "first"},
      {"block, value above modulus, block", first + garbage + second, "first"},
      {"two good blocks", first + second, "firstsecond"},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(UnwrapRsaBlocks(c.blocks, key_), c.text) << c.name;
  }
}

TEST_F(SignedTransport, AnyFlippedBitYieldsOnlyWholeBlocksBeforeIt) {
  std::string text;
  for (int i = 0; i < 3 * 117; ++i) text.push_back(static_cast<char>('A' + i % 26));
  const std::string blocks = signer_->SignBlocks(text);
  ASSERT_EQ(blocks.size(), 3 * kRsaBlockSize);
  for (size_t byte = 0; byte < blocks.size(); byte += 5) {
    std::string damaged = blocks;
    damaged[byte] = static_cast<char>(damaged[byte] ^ (1 << (byte % 8)));
    const size_t intact_blocks = byte / kRsaBlockSize;
    EXPECT_EQ(UnwrapRsaBlocks(damaged, key_), text.substr(0, intact_blocks * kRsaMaxPayload))
        << "byte " << byte;
  }
}

TEST_F(SignedTransport, OtherKeyOrBadBodyDecodesToNothing) {
  std::string error;
  auto other = TransportSigner::Generate(&error);
  ASSERT_NE(other, nullptr) << error;
  const std::string body = signer_->Sign("<root/>");
  EXPECT_EQ(DecodeSignedTransport(body, other->PublicKey()), "");
  EXPECT_EQ(DecodeSignedTransport(body + "\n", key_), "");
  EXPECT_EQ(DecodeSignedTransport("AAAAA", key_), "");
}

TEST(RsaPublicKeyBlob, BuiltInKeyIsTheTestKey) {
  RsaPublicKey built_in;
  ASSERT_TRUE(ParseRsaPublicKey(kRsaPublicKeyBlob, sizeof kRsaPublicKeyBlob, &built_in));
  std::string error;
  auto signer = TransportSigner::FromPem(kTestPrivateKeyPem, &error);
  ASSERT_NE(signer, nullptr) << error;
  EXPECT_EQ(DecodeSignedTransport(signer->Sign("<root/>"), built_in), "<root/>");
}

TEST(RsaPublicKeyBlob, RejectsWrongSizesAndBitCounts) {
  uint8_t blob[kRsaPublicKeyBlobSize] = {0x00, 0x04};  // 1024 bits
  blob[2] = 0x80;                                      // modulus top bit set
  RsaPublicKey key;
  EXPECT_TRUE(ParseRsaPublicKey(blob, sizeof blob, &key));
  EXPECT_FALSE(ParseRsaPublicKey(blob, sizeof blob - 1, &key));
  EXPECT_FALSE(ParseRsaPublicKey(nullptr, sizeof blob, &key));
  blob[1] = 0x08;  // 2048 bits
  EXPECT_FALSE(ParseRsaPublicKey(blob, sizeof blob, &key));
  blob[1] = 0x04;
  blob[2] = 0x40;  // a 1023-bit modulus
  EXPECT_FALSE(ParseRsaPublicKey(blob, sizeof blob, &key));
}

}  // namespace
}  // namespace kbase

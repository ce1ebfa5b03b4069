// The telemetry codec without the network: field encodings, the public block, message
// framing with its size guard, and the reply frame and text.
#include <gtest/gtest.h>

#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "build_settings.h"
#include "common/codec/crc32.h"
#include "report/install_report.h"
#include "report/install_serialize.h"
#include "report/public_block.h"
#include "report/report_decoder.h"
#include "report/report_reply.h"

namespace KDirectVestat {
namespace {

constexpr char kMask = static_cast<char>(kbase::kStringMask);

std::string Bytes(const KInstallSerialize& block) {
  return std::string(reinterpret_cast<const char*>(block.data()), block.size());
}

std::string Masked(const std::string& text) {
  std::string out = text;
  for (char& c : out) c ^= kMask;
  return out;
}

struct EncodingCase {
  const char* name;
  std::function<void(KInstallSerialize*)> put;
  std::string expected;  // after the table id 0x1234 (34 12)
};

TEST(ReportCodecTest, FieldEncodingsAreLittleEndianAfterTheFlagBitmap) {
  const uint8_t sixteen[16] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 0xFF};
  const std::vector<EncodingCase> cases = {
      {"byte", [](KInstallSerialize* b) { b->PutByte(0xAB); }, "\xAB"},
      {"word", [](KInstallSerialize* b) { b->PutWord(0x1234); }, "\x34\x12"},
      {"dword", [](KInstallSerialize* b) { b->PutDword(0x12345678); }, "\x78\x56\x34\x12"},
      {"empty string", [](KInstallSerialize* b) { b->PutString(L""); }, std::string(2, '\0')},
      {"abc", [](KInstallSerialize* b) { b->PutString(L"abc"); },
       std::string("\x03\x00", 2) + Masked("abc")},
      {"sixteen bytes, not masked", [&](KInstallSerialize* b) { b->PutBytes16(sixteen); },
       std::string("\x10\x00", 2) + std::string(reinterpret_cast<const char*>(sixteen), 16)},
      {"three flags: one bitmap byte",
       [](KInstallSerialize* b) { b->PutBool(true); b->PutBool(false); b->PutBool(7); },
       "\x05"},
      {"nine flags: two bitmap bytes",
       [](KInstallSerialize* b) {
         for (int i = 0; i < 9; ++i) b->PutBool(i == 1 || i == 8);
       },
       std::string("\x02\x01", 2)},
      {"flags lead the fields whatever the order they were put in",
       [](KInstallSerialize* b) { b->PutByte(9); b->PutBool(true); b->PutWord(1); },
       std::string("\x01\x09\x01\x00", 4)},
      {"no flags: no bitmap byte", [](KInstallSerialize* b) { b->PutDword(0); },
       std::string(4, '\0')},
  };
  for (const auto& c : cases) {
    KInstallSerialize block(0x1234);
    c.put(&block);
    block.Finish();
    EXPECT_EQ(Bytes(block), "\x34\x12" + c.expected) << c.name;
    EXPECT_FALSE(block.oversized()) << c.name;
  }
}

#ifdef _WIN32
TEST(ReportCodecTest, StringsGoOutInTheAnsiCodePage) {
  // The test session runs with code page 936.
  KInstallSerialize block(1);
  block.PutString(L"\x4E2D");
  block.Finish();
  EXPECT_EQ(Bytes(block), std::string("\x01\x00\x02\x00", 4) + Masked("\xD6\xD0"));
}
#endif

TEST(ReportCodecTest, BufferGrowsByTheAppendedSizePlusOneStep) {
  GrowableBuffer buffer;
  EXPECT_EQ(buffer.capacity(), 1024u);
  const std::string chunk(1000, 'x');
  buffer.Append(chunk.data(), chunk.size());
  EXPECT_EQ(buffer.capacity(), 1024u);
  buffer.Append(chunk.data(), 100);
  EXPECT_EQ(buffer.capacity(), 1024u + 100 + 1024);
  EXPECT_EQ(buffer.size(), 1100u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(buffer.data()), buffer.size()),
            std::string(1100, 'x'));
}

DecodedBlock DecodePublic(const std::wstring& install_id, const std::wstring& company,
                          const std::wstring& tryno, const std::wstring& third) {
  auto block = std::make_unique<KPublicBlock>();
  block->FillPublic(install_id, company, tryno, third);
  KInstallReport message;
  message.AddBlock(std::move(block));
  std::string body;
  EXPECT_TRUE(message.BuildBody(&body));
  DecodedMessage decoded;
  std::string error;
  EXPECT_TRUE(DecodeMessage(body, &decoded, &error)) << error;
  return decoded.blocks.empty() ? DecodedBlock() : decoded.blocks[0];
}

TEST(ReportCodecTest, PublicBlockCarriesIdsTimeAndProductKey) {
  const uint32_t before = static_cast<uint32_t>(std::time(nullptr));
  const DecodedBlock block =
      DecodePublic(L"0123456789ABCDEF0123456789ABCDEF", L"186", L"336", L"7");
  const uint32_t after = static_cast<uint32_t>(std::time(nullptr));
  EXPECT_EQ(block.table_id, 4);
  EXPECT_EQ(block.Text("install_id"),
            "\x01\x23\x45\x67\x89\xAB\xCD\xEF\x01\x23\x45\x67\x89\xAB\xCD\xEF");
  EXPECT_EQ(block.Number("company_id"), 186u);
  EXPECT_EQ(block.Number("reserved1"), 0u);
  EXPECT_EQ(block.Number("tryno_id"), 336u);
  EXPECT_EQ(block.Number("third_number"), 7u);
  EXPECT_EQ(block.Number("constant_7"), 7u);
  EXPECT_EQ(block.Number("reserved2"), 0u);
  EXPECT_EQ(block.Number("reserved3"), 0u);
  EXPECT_GE(block.Number("time"), before);
  EXPECT_LE(block.Number("time"), after);
  EXPECT_EQ(block.Number("reserved4"), 0u);
  EXPECT_EQ(block.Text("product_key"), "r3kfw0tbm9pxq2jvzg7uhy4loe1d");
}

TEST(ReportCodecTest, PublicBlockTurnsBadIdsIntoZeros) {
  const std::string zeros(16, '\0');
  struct Case {
    const wchar_t* install_id;
    const wchar_t* number;
    uint32_t value;
  };
  const Case cases[] = {
      {L"0123456789abcdef0123456789abcdef", L"", 0},        // lower case digits
      {L"0123456789ABCDEF0123456789ABCDE", L"abc", 0},      // 31 digits
      {L"0123456789ABCDEF0123456789ABCDEF0", L"-5", 0},     // 33 digits
      {L"0123456789ABCDEF0123456789ABCDEG", L"12x", 12},    // a letter past F
      {L" 123456789ABCDEF0123456789ABCDEF", L"4294967295", 4294967295u},
      {L"", L"0", 0},
  };
  for (const auto& c : cases) {
    const DecodedBlock block = DecodePublic(c.install_id, c.number, c.number, c.number);
    EXPECT_EQ(block.Text("install_id"), zeros) << "install id " << block.Text("install_id");
    EXPECT_EQ(block.Number("company_id"), c.value);
    EXPECT_EQ(block.Number("tryno_id"), c.value);
    EXPECT_EQ(block.Number("third_number"), c.value);
  }
}

TEST(ReportCodecTest, MessageHeaderCountsBlocksAndChecksThemByCrc) {
  KInstallReport message;
  auto first = std::make_unique<KInstallSerialize>(4680);
  first->PutDword(1);
  first->Finish();
  auto second = std::make_unique<KInstallSerialize>(5847);
  second->PutByte(1);
  second->PutByte(2);
  second->PutByte(3);
  second->Finish();
  message.AddBlock(std::move(first));
  message.AddBlock(std::move(second));
  std::string body;
  ASSERT_TRUE(message.BuildBody(&body));
  // 10 + (2 + 4) + (2 + 3)
  ASSERT_EQ(body.size(), 21u);
  EXPECT_EQ(body.substr(0, 6), std::string("\x15\x00\x02\x01\x02\x00", 6));
  const std::string blocks = body.substr(10);
  EXPECT_EQ(blocks, std::string("\x48\x12\x01\x00\x00\x00\xD7\x16\x01\x02\x03", 11));
  const uint32_t crc = kbase::Crc32(blocks.data(), blocks.size());
  EXPECT_EQ(body.substr(6, 4), std::string({static_cast<char>(crc), static_cast<char>(crc >> 8),
                                            static_cast<char>(crc >> 16),
                                            static_cast<char>(crc >> 24)}));
}

TEST(ReportCodecTest, MessagesOf64KiBOrMoreAreNotFramed) {
  struct Case {
    const char* name;
    std::vector<size_t> string_lengths;  // one block with one string each
    bool framed;
  };
  // A block with one string is 2 (table) + 2 (count) + length bytes.
  const Case cases[] = {
      {"largest message", {0xFFFF - 10 - 4}, true},
      {"one byte more", {0xFFFF - 10 - 4 + 1}, false},
      {"string of 64 KiB", {0x10000}, false},
      {"blocks that add up past the limit", {40000, 40000}, false},
  };
  for (const auto& c : cases) {
    KInstallReport message;
    bool oversized = false;
    for (size_t length : c.string_lengths) {
      auto block = std::make_unique<KInstallSerialize>(4033);
      block->PutString(std::wstring(length, L'x'));
      block->Finish();
      oversized |= block->oversized();
      message.AddBlock(std::move(block));
    }
    std::string body = "untouched";
    EXPECT_EQ(message.BuildBody(&body), c.framed) << c.name;
    if (c.framed) {
      EXPECT_EQ(body.size(), 0xFFFFu) << c.name;
      EXPECT_EQ(body.substr(0, 2), "\xFF\xFF") << c.name;
    } else {
      EXPECT_EQ(body, "untouched") << c.name;
    }
  }
  KInstallSerialize block(1);
  block.PutString(std::wstring(0x10000, L'x'));
  EXPECT_TRUE(block.oversized());
}

struct ReplyCase {
  const char* name;
  std::string reply;
  int expected;
};

std::string WithLength(std::string reply, int delta) {
  const size_t length = reply.size() + delta;
  reply[0] = static_cast<char>(length);
  reply[1] = static_cast<char>(length >> 8);
  return reply;
}

TEST(ReportCodecTest, OnlyAWellFramedResultOfOneConfirms) {
  const std::string good = EncodeReply("\n[common]\nresult=1\n");
  std::string bad_crc = good;
  bad_crc[3] ^= 0x40;
  std::string bad_version = good;
  bad_version[2] = 1;
  const std::vector<ReplyCase> cases = {
      {"empty line, [common], result=1", good, 0},
      {"upper case and spaces", EncodeReply("[COMMON]\n  Result = 1"), 0},
      {"text before the first [ is ignored", EncodeReply("junk\r\n[common]\r\nresult=01\r\n"), 0},
      {"later value wins", EncodeReply("[common]\nresult=2\nresult=1\n"), 0},
      {"other keys and sections", EncodeReply("[a]\nx = y=z\n[ common ]\nresult=1\n[b]\n"), 0},
      {"result=2", EncodeReply("[common]\nresult=2\n"), -1},
      {"result=1 in another section", EncodeReply("[other]\nresult=1\n"), -1},
      {"result with trailing text", EncodeReply("[common]\nresult=1x\n"), -1},
      {"no [ in the text", EncodeReply("result=1\n"), -1},
      {"a line with no =", EncodeReply("[common]\nresult=1\nbogus\n"), -1},
      {"empty key", EncodeReply("[common]\n=1\nresult=1\n"), -1},
      {"empty section name", EncodeReply("[ ]\n[common]\nresult=1\n"), -1},
      {"header only", good.substr(0, 7), -1},
      {"shorter than the header", std::string("\x05\x00\x02\x00\x00", 5), -1},
      {"length off by one, up", WithLength(good, 1), -1},
      {"length off by one, down", WithLength(good, -1), -1},
      {"CRC does not match", bad_crc, -1},
      {"version byte 1", bad_version, -1},
      {"empty", std::string(), -1},
  };
  for (const auto& c : cases) {
    std::wstring text;
    EXPECT_EQ(JudgeReply(c.reply, &text), c.expected) << c.name;
  }
  std::wstring text;
  JudgeReply(good, &text);
  EXPECT_EQ(text, L"\n[common]\nresult=1\n");
}

TEST(ReportCodecTest, ReplyTextKeepsLowerCaseNamesAndTrimmedValues) {
  ReplySections sections;
  ASSERT_TRUE(ParseReplyText(L"[Common]\r\n\tKey A  =  some value \r\n[X]\nk=\n", &sections));
  EXPECT_EQ(sections[L"common"][L"key a"], L"some value");
  EXPECT_EQ(sections[L"x"][L"k"], L"");
  EXPECT_FALSE(ReplyConfirms(sections));
}

TEST(ReportCodecTest, DecoderRejectsCutAndUnknownBlocks) {
  KInstallReport message;
  auto block = std::make_unique<KInstallSerialize>(5847);
  block->PutByte(1);
  block->PutByte(2);
  block->PutByte(3);
  block->Finish();
  message.AddBlock(std::move(block));
  auto unknown = std::make_unique<KInstallSerialize>(9999);
  unknown->Finish();
  std::string body;
  ASSERT_TRUE(message.BuildBody(&body));
  DecodedMessage decoded;
  std::string error;
  ASSERT_TRUE(DecodeMessage(body, &decoded, &error)) << error;
  EXPECT_EQ(decoded.blocks.at(0).Number("kind"), 2u);
  EXPECT_NE(FormatMessage(decoded).find("kind = 2"), std::string::npos);

  message.AddBlock(std::move(unknown));
  ASSERT_TRUE(message.BuildBody(&body));
  EXPECT_FALSE(DecodeMessage(body, &decoded, &error));
  EXPECT_EQ(error, "unknown table 9999");
}

}  // namespace
}  // namespace KDirectVestat

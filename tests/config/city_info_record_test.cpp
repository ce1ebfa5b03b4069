// The city information wire format and the decisions of the history and city leaves.
#include <gtest/gtest.h>

#include <string>

#include "common/codec/crc32.h"
#include "config/city_info_record.h"
#include "config/leaf_rules.h"

namespace kbase {
namespace {

std::string FromHex(const std::string& hex) {
  std::string bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  }
  return bytes;
}

// A reply as the service frames it: two unread bytes, the CRC, the scrambled text.
std::string Reply(std::string text) {
  ScrambleCityInfo(&text[0], text.size());
  const uint32_t crc = Crc32(text.data(), text.size());
  std::string reply = std::string("\x07\x00", 2) + std::string(4, '\0') + text;
  for (int i = 0; i < 4; ++i) reply[2 + i] = static_cast<char>((crc >> (8 * i)) & 0xFF);
  return reply;
}

TEST(CityInfoRecord, RequestBytes) {
  // Expected records computed independently from the layout.
  const struct {
    std::string id;
    std::string hex;
  } kCases[] = {
      {"0123456789abcdef0123456789abcdef",
       "1c00fe742c9e70545d40654b5b77525c6a5f3818102115326d715778"},
      {"0123456789abcdef", "1c00fe742c9e70545d40654b5b77525c6a5f3818102115326d715778"},
      {"abc", "1c0074ad0e5370540c1334786f42646b5266597a734570546d715778"},  // zero-filled
  };
  for (const auto& c : kCases) {
    const std::string record = BuildCityInfoRequest(c.id);
    ASSERT_EQ(record.size(), kCityInfoRequestSize) << c.id;
    EXPECT_EQ(record, FromHex(c.hex)) << c.id;
    // The key position restarts for every buffer: the same id gives the same bytes.
    EXPECT_EQ(BuildCityInfoRequest(c.id), record);
  }
}

TEST(CityInfoRecord, ScramblingIsItsOwnInverseAndRestartsPerBuffer) {
  std::string text(40, 'A');
  ScrambleCityInfo(&text[0], text.size());
  EXPECT_EQ(text.substr(0, 16), text.substr(16, 16));
  EXPECT_EQ(static_cast<uint8_t>(text[0]), static_cast<uint8_t>('A' ^ 'p'));
  ScrambleCityInfo(&text[0], text.size());
  EXPECT_EQ(text, std::string(40, 'A'));
}

TEST(CityInfoRecord, Replies) {
  const std::string good = Reply("{\"cityid\":\"101010100\",\"ret\":0}");
  EXPECT_EQ(good.substr(2, 4), FromHex("6b30ed28"));  // independently computed CRC
  std::string bad_crc = good;
  bad_crc[3] ^= 1;
  std::string flipped_text = good;
  flipped_text.back() ^= 1;

  const struct {
    const char* name;
    std::string reply;
    CityInfoReply result;
    std::string text;
  } kCases[] = {
      {"answer", good, CityInfoReply::kAnswer, "{\"cityid\":\"101010100\",\"ret\":0}"},
      {"empty", "", CityInfoReply::kCorrupt, ""},
      {"header only", good.substr(0, 6), CityInfoReply::kCorrupt, ""},
      {"seven bytes", Reply("x"), CityInfoReply::kAnswer, "x"},
      {"wrong crc", bad_crc, CityInfoReply::kCorrupt, ""},
      {"changed text", flipped_text, CityInfoReply::kCorrupt, ""},
      {"refusal 2#", Reply("2#x"), CityInfoReply::kErrorAnswer, "2#x"},
      {"refusal 1#", Reply("1#busy"), CityInfoReply::kErrorAnswer, "1#busy"},
      {"3# is text", Reply("3#x"), CityInfoReply::kAnswer, "3#x"},
      {"text ends at zero", Reply(std::string("{}\0junk", 7)), CityInfoReply::kAnswer, "{}"},
      {"utf-8 kept", Reply("{\"c\":\"\xE5\x8C\x97\"}"), CityInfoReply::kAnswer,
       "{\"c\":\"\xE5\x8C\x97\"}"},
  };
  for (const auto& c : kCases) {
    std::string text = "stale";
    EXPECT_EQ(ParseCityInfoReply(c.reply, &text), c.result) << c.name;
    EXPECT_EQ(text, c.text) << c.name;
  }
}

TEST(LeafRules, UninstallCounts) {
  const struct {
    int64_t days;
    uint32_t uninstalls;
    int32_t interval, count, param;
    bool passed;
    int32_t code;
  } kCases[] = {
      {1000, 5, 0, 0, 10, false, 0},    // count 0 never passes
      {16, 4, 7, 3, 10, false, 357},    // threshold (4 mod 3) * 10 + 7 = 17
      {17, 4, 7, 3, 10, true, 0},
      {7, 3, 7, 3, 10, true, 0},        // a full cycle starts again at the interval
      {6, 3, 7, 3, 10, false, 357},
      {-1, 0, 0, 1, 0, false, 357},     // an uninstall time in the future
      {0, 0, 0, 1, 0, true, 0},
  };
  for (const auto& c : kCases) {
    const UninstallVerdict v =
        UninstallCountsRule(c.days, c.uninstalls, c.interval, c.count, c.param);
    EXPECT_EQ(v.passed, c.passed) << c.days << " " << c.uninstalls;
    EXPECT_EQ(v.code, c.code) << c.days << " " << c.uninstalls;
  }
}

TEST(LeafRules, UninstallCountAndTime) {
  const struct {
    int64_t days;
    uint32_t uninstalls;
    int32_t count, interval;
    bool passed;
  } kCases[] = {
      {30, 2, 2, 30, true}, {0, 5, 2, 30, true},  {31, 2, 2, 30, false},
      {10, 1, 2, 30, false}, {10, 0, 0, 30, true}, {10, 9, -1, 30, false},  // unsigned
  };
  for (const auto& c : kCases) {
    const UninstallVerdict v = UninstallCountAndTimeRule(c.days, c.uninstalls, c.count, c.interval);
    EXPECT_EQ(v.passed, c.passed) << c.days << " " << c.uninstalls << " " << c.count;
    EXPECT_EQ(v.code, c.passed ? 359 : 0);
  }
  EXPECT_EQ(DaysSince(86400 * 3 - 1, 0), 2);
  EXPECT_EQ(DaysSince(0, 86400 * 2), -2);  // truncated toward zero
}

TEST(LeafRules, CityDraw) {
  const struct {
    int32_t percent;
    int draw;
    bool keeps;
  } kCases[] = {
      {0, 0, false},    {-5, 0, false},  {100, 100, true}, {250, 32767, true},
      {50, 49, true},   {50, 50, false}, {50, 101 + 49, true}, {1, 0, true},
      {1, 1, false},    {99, 100, false}, {99, 98, true},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(CityDrawKeeps(c.percent, c.draw), c.keeps) << c.percent << " " << c.draw;
  }
}

}  // namespace
}  // namespace kbase

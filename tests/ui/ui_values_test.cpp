// Colours, font ids, text modes, the style and string tables and "%str" references.
#include <gtest/gtest.h>

#include <string>

#include "ui/utf8_text.h"
#include "ui/vw_attribute_text.h"
#include "ui/vw_string_table.h"
#include "ui/vw_style_table.h"
#include "ui/vw_text_layout.h"

namespace kbase {
namespace {

TEST(UiValues, Colours) {
  const struct {
    const char* text;
    VwColour expected;
  } cases[] = {
      {"FFFFFF", 0xFFFFFF},  {"2f85ee", VwRgb(0x2f, 0x85, 0xee)}, {"2F85EE", VwRgb(0x2f, 0x85, 0xee)},
      {"D9F8DD", VwRgb(0xD9, 0xF8, 0xDD)}, {"000000", 0},
      {"zz85ee", VwRgb(0, 0x85, 0xee)},  // a bad pair reads as 0, the others stand
      {"2fz5ee", VwRgb(0x2f, 0, 0xee)},  {"2f85e", VwRgb(0x2f, 0x85, 0)},  // cut short
      {"", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseColour(c.text), c.expected) << c.text;
}

TEST(UiValues, FontIds) {
  const struct {
    const char* text;
    uint16_t id;
    int height;
    bool bold, underline, italic;
  } cases[] = {
      {"0000", 0x0000, -12, false, false, false}, {"0004", 0x0004, -12, true, false, false},
      {"0002", 0x0002, -12, false, true, false},  {"0001", 0x0001, -12, false, false, true},
      {"0100", 0x0100, -13, false, false, false}, {"0200", 0x0200, -14, false, false, false},
      {"0400", 0x0400, -16, false, false, false}, {"0404", 0x0404, -16, true, false, false},
      {"0804", 0x0804, -20, true, false, false},  {"1000", 0x1000, -28, false, false, false},
      {"e400", 0xe400, 16, false, false, false},  {"E400", 0xe400, 16, false, false, false},
      {"4", 0x0004, -12, true, false, false},     {"12345", 0x1234, -30, true, false, false},
      {"zz", 0, -12, false, false, false},
  };
  for (const auto& c : cases) {
    const uint16_t id = ParseFontId(c.text);
    EXPECT_EQ(id, c.id) << c.text;
    EXPECT_EQ(FontIdHeight(id), c.height) << c.text;
    EXPECT_EQ(FontIdBold(id), c.bold) << c.text;
    EXPECT_EQ(FontIdUnderline(id), c.underline) << c.text;
    EXPECT_EQ(FontIdItalic(id), c.italic) << c.text;
  }
}

TEST(UiValues, TextModes) {
  EXPECT_EQ(ParseTextMode("24"), 0x24u);
  EXPECT_EQ(ParseTextMode("25"), 0x25u);
  EXPECT_EQ(ParseTextMode("26"), 0x26u);
  EXPECT_EQ(ParseTextMode("8028"), 0x8028u);
  EXPECT_EQ(ParseTextMode("10025"), 0x25u);  // DT_MODIFYSTRING never survives
  EXPECT_EQ(ParseTextMode("q"), 0u);
  EXPECT_EQ(VwStyle().text_mode, 0x28u);
}

TEST(UiValues, Decimals) {
  EXPECT_EQ(ParseDecimal("42"), 42);
  EXPECT_EQ(ParseDecimal(" -7x"), -7);
  EXPECT_EQ(ParseDecimal("x7"), 0);
  EXPECT_EQ(ParseDecimal("99999999999"), 2147483647);
  EXPECT_EQ(ParseDecimal("-99999999999"), -2147483647 - 1);
}

TEST(UiValues, StyleAttributesAndDefaults) {
  VwStyleTable table;
  ASSERT_EQ(table.LoadFromText(R"(<style>
      <class name="btn" crtext="2f85ee" crhover="FFFFFF" font="0404" hoverfont="0004" textmode="25"
             margin="3" cursor="hand" skin="close" alphabg="128" textmodeex="10025" nosuch="1"/>
      <class name="odd" cursor="finger" x-margin="4" y-margin="2"/>
    </style>)"),
            1);
  const VwStyle& button = table.Find("btn");
  EXPECT_EQ(button.text_colour, VwRgb(0x2f, 0x85, 0xee));
  EXPECT_EQ(button.hover_text_colour, 0xFFFFFFu);
  EXPECT_EQ(button.font_id, 0x0404);
  EXPECT_EQ(button.hover_font_id, 0x0004);
  EXPECT_EQ(button.text_mode, 0x25u);
  EXPECT_EQ(button.text_mode_ex, 0x25u);
  EXPECT_EQ(button.x_margin, 3);
  EXPECT_EQ(button.y_margin, 3);
  EXPECT_EQ(button.cursor, kVwCursorHand);
  EXPECT_EQ(button.skin, "close");
  EXPECT_EQ(button.background_alpha, 128);
  const VwStyle& odd = table.Find("odd");
  EXPECT_EQ(odd.cursor, kVwCursorArrow);  // an unknown cursor word is rejected
  EXPECT_EQ(odd.x_margin, 4);
  EXPECT_EQ(odd.y_margin, 2);
  // An unknown name gives the shared default style with the documented defaults.
  const VwStyle& fallback = table.Find("missing");
  EXPECT_EQ(&fallback, &table.Find(""));
  EXPECT_EQ(fallback.disabled_text_colour, VwRgb(204, 204, 204));
  EXPECT_EQ(fallback.shadow_colour, VwRgb(1, 1, 1));
  EXPECT_EQ(fallback.text_colour, kVwColourUnset);
  EXPECT_EQ(fallback.line_spacing, 20);
  EXPECT_EQ(fallback.text_alpha, 254);
  EXPECT_EQ(fallback.background_alpha, 255);
}

TEST(UiValues, StylesFirstDefinitionWinsAcrossDocuments) {
  VwStyleTable table;
  EXPECT_EQ(table.LoadFromText(R"(<style><class name="a" crtext="111111"/><class name="a" crtext="222222"/></style>)"), 1);
  EXPECT_EQ(table.LoadFromText(R"(<style><class name="a" crtext="333333"/><class name="b" crtext="444444"/></style>)"), 1);
  EXPECT_EQ(table.Find("a").text_colour, 0x111111u);
  EXPECT_EQ(table.Find("b").text_colour, 0x444444u);
  EXPECT_EQ(table.LoadFromText("<styles><class name=\"c\"/></styles>"), 0);
  EXPECT_EQ(table.LoadFromText("<style><class name="), 0);
  EXPECT_FALSE(table.Contains("c"));
  table.Clear();
  EXPECT_FALSE(table.Contains("a"));
  EXPECT_TRUE(table.Contains(""));
}

TEST(UiValues, StringsFirstDefinitionWins) {
  VwString strings;
  EXPECT_EQ(strings.LoadFromText(u8R"(<string><s id="1">一</s><s id="2">two</s><s id="1">again</s><s>no id</s><s id="3"/></string>)"), 1);
  EXPECT_EQ(strings.LoadFromText(R"(<string><s id="2">later</s><s id="4">four</s></string>)"), 1);
  EXPECT_EQ(strings.Get(1), std::wstring(L"\u4e00"));
  EXPECT_EQ(strings.Get(2), L"two");
  EXPECT_EQ(strings.Get(3), L"");
  EXPECT_TRUE(strings.Contains(3));
  EXPECT_EQ(strings.Get(4), L"four");
  EXPECT_EQ(strings.LoadFromText(R"(<strings><s id="9">x</s></strings>)"), 0);
  EXPECT_FALSE(strings.Contains(9));
}

TEST(UiValues, StringReferences) {
  VwString strings;
  strings.LoadFromText(R"(<string><s id="1">one</s><s id="12">twelve</s></string>)");
  const struct {
    const wchar_t* text;
    const wchar_t* expected;
  } cases[] = {
      {L"a %str1% b", L"a one b"},
      {L"%str12%%str1%", L"twelveone"},
      {L"%str5% missing", L" missing"},
      {L"zero %str0% stays %str1%", L"zero %str0% stays %str1%"},  // stops at the first bad one
      {L"%str1% then %str0%, %str12%", L"one then %str0%, %str12%"},
      {L"open %str1", L"open %str1"},
      {L"%str1 %", L"%str1 %"},
      {L"%strx%", L"%strx%"},
      {L"no references", L"no references"},
      {L"%str99999999999%", L"%str99999999999%"},
  };
  for (const auto& c : cases) EXPECT_EQ(SubstituteStringReferences(c.text, strings), c.expected) << Utf8FromWide(c.text);
}

TEST(UiValues, Utf8RoundTripAndMalformedInput) {
  const std::string text = u8"安装 ok \U0001F600";
  EXPECT_EQ(Utf8FromWide(WideFromUtf8(text)), text);
  EXPECT_EQ(WideFromUtf8("\xC3"), std::wstring(1, L'\xFFFD'));
  EXPECT_EQ(WideFromUtf8("a\xFF" "b"), std::wstring(L"a\xFFFD" L"b"));
  EXPECT_EQ(WideFromUtf8("\xE0\x80\x80"), std::wstring(1, L'\xFFFD') + L'\xFFFD' + L'\xFFFD');  // overlong
}

TEST(UiValues, YaheiNudge) {
  const struct {
    uint32_t format;
    int font_height;
    bool autofix;
    VwRect expected;
  } cases[] = {
      {kVwDtBottom | kVwDtSingleLine, -12, false, {0, -2, 100, 8}},   // up 2c + 2 with c = 0
      {kVwDtBottom | kVwDtSingleLine, -12, true, {0, -2, 100, 15}},   // bottom at least 12 + 0 + 3 below the top
      {kVwDtBottom, -16, true, {0, -10, 100, 19}},  // c = 4: 28 high, then bottom 12 + 4 + 3 below the top
      {kVwDtSingleLine, -12, true, {0, -3, 100, 7}},                   // top aligned: up 3c + 3
      {0, -16, false, {0, -15, 100, -5}},
      {kVwDtVCenter | kVwDtSingleLine, -16, true, {0, 0, 100, 10}},    // centred text stays
  };
  for (const auto& c : cases) {
    EXPECT_EQ(YaheiTextRect({0, 0, 100, 10}, c.format, -12, c.font_height, c.autofix), c.expected) << c.format;
  }
}

TEST(UiValues, GdiplusStringFormat) {
  const struct {
    uint32_t format, ex;
    int alignment, line_alignment, trimming;
    bool line_limit;
  } cases[] = {
      {0x25, 0x25, 1, 1, 0, true}, {0x8028, 0, 0, 0, 3, false}, {0x40000, 0, 0, 0, 4, false},
      {0x4000, 0, 0, 0, 5, false}, {0, 0x0A, 2, 2, 0, false},  {0x24, 0, 0, 1, 0, false},
  };
  for (const auto& c : cases) {
    const VwGdiplusTextFormat f = GdiplusTextFormat(c.format, c.ex);
    EXPECT_EQ(f.alignment, c.alignment) << c.format;
    EXPECT_EQ(f.line_alignment, c.line_alignment) << c.format;
    EXPECT_EQ(f.trimming, c.trimming) << c.format;
    EXPECT_EQ(f.line_limit, c.line_limit) << c.format;
  }
}

}  // namespace
}  // namespace kbase

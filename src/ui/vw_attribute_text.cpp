#include "ui/vw_attribute_text.h"

#include <cctype>
#include <climits>
#include <cstring>

namespace kbase {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

int ParseDecimal(const char* text) {
  if (text == nullptr) return 0;
  while (*text == ' ' || *text == '\t' || *text == '\r' || *text == '\n') ++text;
  bool negative = false;
  if (*text == '+' || *text == '-') negative = *text++ == '-';
  long long value = 0;
  for (; *text >= '0' && *text <= '9'; ++text) {
    value = value * 10 + (*text - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

VwColour ParseColour(const char* text) {
  if (text == nullptr) return 0;
  const size_t length = std::strlen(text);
  int channels[3] = {0, 0, 0};
  for (size_t pair = 0; pair < 3; ++pair) {
    const size_t at = pair * 2;
    if (at + 1 >= length) continue;
    const int high = HexDigit(text[at]);
    const int low = HexDigit(text[at + 1]);
    if (high < 0 || low < 0) continue;
    channels[pair] = high * 16 + low;
  }
  return VwRgb(channels[0], channels[1], channels[2]);
}

uint16_t ParseFontId(const char* text) {
  if (text == nullptr) return 0;
  unsigned value = 0;
  for (int i = 0; i < 4; ++i) {
    const int digit = HexDigit(text[i]);
    if (digit < 0) break;
    value = value * 16 + static_cast<unsigned>(digit);
  }
  return static_cast<uint16_t>(value);
}

uint32_t ParseTextMode(const char* text) {
  if (text == nullptr) return 0;
  uint32_t value = 0;
  for (int i = 0; i < 8; ++i) {
    const int digit = HexDigit(text[i]);
    if (digit < 0) break;
    value = value * 16 + static_cast<uint32_t>(digit);
  }
  return value & ~kVwTextModifyString;
}

bool ParseVerticalAlign(const char* text, int* align) {
  if (text == nullptr) return false;
  if (std::strcmp(text, "top") == 0) *align = kVwAlignTop;
  else if (std::strcmp(text, "middle") == 0) *align = kVwAlignMiddle;
  else if (std::strcmp(text, "bottom") == 0) *align = kVwAlignBottom;
  else return false;
  return true;
}

bool ParseHorizontalAlign(const char* text, int* align) {
  if (text == nullptr) return false;
  if (std::strcmp(text, "left") == 0) *align = kVwAlignLeft;
  else if (std::strcmp(text, "center") == 0) *align = kVwAlignCenter;
  else if (std::strcmp(text, "right") == 0) *align = kVwAlignRight;
  else return false;
  return true;
}

bool EqualsAsciiNoCase(const char* a, const char* b) {
  if (a == nullptr || b == nullptr) return false;
  for (; *a != '\0' && *b != '\0'; ++a, ++b) {
    if (std::tolower(static_cast<unsigned char>(*a)) != std::tolower(static_cast<unsigned char>(*b)))
      return false;
  }
  return *a == *b;
}

}  // namespace kbase

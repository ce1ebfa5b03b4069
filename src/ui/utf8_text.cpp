#include "ui/utf8_text.h"

#include <cstdint>

namespace kbase {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendCodePoint(char32_t code, std::wstring* out) {
  if (sizeof(wchar_t) == 2 && code >= 0x10000) {
    code -= 0x10000;
    out->push_back(static_cast<wchar_t>(0xD800 + (code >> 10)));
    out->push_back(static_cast<wchar_t>(0xDC00 + (code & 0x3FF)));
  } else {
    out->push_back(static_cast<wchar_t>(code));
  }
}

}  // namespace

std::wstring WideFromUtf8(const std::string& text) {
  std::wstring out;
  out.reserve(text.size());
  size_t at = 0;
  while (at < text.size()) {
    const unsigned char lead = static_cast<unsigned char>(text[at]);
    int extra;
    char32_t code;
    if (lead < 0x80) { code = lead; extra = 0; }
    else if ((lead & 0xE0) == 0xC0) { code = lead & 0x1F; extra = 1; }
    else if ((lead & 0xF0) == 0xE0) { code = lead & 0x0F; extra = 2; }
    else if ((lead & 0xF8) == 0xF0) { code = lead & 0x07; extra = 3; }
    else { AppendCodePoint(kReplacement, &out); ++at; continue; }
    if (extra > 0 && text.size() - at <= static_cast<size_t>(extra)) {
      AppendCodePoint(kReplacement, &out);
      break;
    }
    bool valid = true;
    for (int i = 1; i <= extra; ++i) {
      const unsigned char next = static_cast<unsigned char>(text[at + i]);
      if ((next & 0xC0) != 0x80) { valid = false; break; }
      code = (code << 6) | (next & 0x3F);
    }
    static const char32_t kMinimum[4] = {0, 0x80, 0x800, 0x10000};
    if (!valid || code < kMinimum[extra] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
      AppendCodePoint(kReplacement, &out);
      ++at;
      continue;
    }
    AppendCodePoint(code, &out);
    at += extra + 1;
  }
  return out;
}

std::string Utf8FromWide(const std::wstring& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t at = 0; at < text.size(); ++at) {
    char32_t code = static_cast<char32_t>(text[at]);
    if (sizeof(wchar_t) == 2 && code >= 0xD800 && code <= 0xDBFF && at + 1 < text.size()) {
      const char32_t low = static_cast<char32_t>(text[at + 1]);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
        ++at;
      }
    }
    if ((code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) code = kReplacement;
    if (code < 0x80) {
      out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (code >> 6)));
      out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (code >> 12)));
      out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (code >> 18)));
      out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
  }
  return out;
}

}  // namespace kbase

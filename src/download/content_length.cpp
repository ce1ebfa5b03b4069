#include "download/content_length.h"

#include <cwctype>
#include <limits>

namespace kbase {

namespace {

bool EqualsNoCase(const std::wstring& a, const wchar_t* b) {
  size_t i = 0;
  for (; i < a.size() && b[i] != L'\0'; ++i) {
    if (std::towlower(a[i]) != std::towlower(b[i])) return false;
  }
  return i == a.size() && b[i] == L'\0';
}

bool IsSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\v' || c == L'\f'; }

// Leading sign and digits, clamped to the 32-bit range; 0 when there are none.
int32_t ReadDecimal(const std::wstring& text) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
  int64_t value = 0;
  for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
    value = value * 10 + (text[i] - L'0');
    if (value > std::numeric_limits<int32_t>::max()) {
      return negative ? std::numeric_limits<int32_t>::min() : std::numeric_limits<int32_t>::max();
    }
  }
  return static_cast<int32_t>(negative ? -value : value);
}

}  // namespace

bool ParseContentLength(const std::wstring& headers, int32_t* length) {
  size_t start = 0;
  while (start < headers.size()) {
    size_t end = headers.find_first_of(L"\r\n", start);
    if (end == std::wstring::npos) end = headers.size();
    const std::wstring line = headers.substr(start, end - start);
    start = end + 1;
    const size_t colon = line.find(L':');
    if (line.empty() || colon == std::wstring::npos || colon == 0 || colon + 1 == line.size()) {
      continue;
    }
    if (!EqualsNoCase(line.substr(0, colon), L"content-length")) continue;
    size_t first = colon + 1, last = line.size();
    while (first < last && IsSpace(line[first])) ++first;
    while (last > first && IsSpace(line[last - 1])) --last;
    *length = ReadDecimal(line.substr(first, last - first));
    return true;
  }
  return false;
}

}  // namespace kbase

#include "main/command_line.h"

#include <algorithm>

namespace kbase {

// The parser is a state machine over the text and its terminating NUL:
//
//   outside     '-' ['-'] or '/'        -> key start
//               '"'                     -> toggles "in quotes" (a quoted word such as the
//                                          program path is skipped); other characters
//                                          are ignored, and so is everything in quotes
//   key start   any                     -> the key begins here; key
//   key         ' ' or NUL              -> key = "1"; outside
//               ':' or '='              -> value start
//   value start ' ' or NUL              -> key = ""; outside
//               '"'                     -> in quotes, the value begins after it; value
//               other                   -> the value begins here; value
//   value       NUL, ' ' outside quotes, '"' inside quotes
//                                       -> the value ends before it; outside

namespace {

wchar_t FoldAscii(wchar_t c) { return (c >= L'A' && c <= L'Z') ? c - L'A' + L'a' : c; }

enum class State { kOutside, kKeyStart, kKey, kValueStart, kValue };

}  // namespace

bool CaseInsensitiveLess::operator()(const std::wstring& a, const std::wstring& b) const {
  return std::lexicographical_compare(
      a.begin(), a.end(), b.begin(), b.end(),
      [](wchar_t x, wchar_t y) { return FoldAscii(x) < FoldAscii(y); });
}

CommandLineMap ParseCommandLine(const std::wstring& command_line) {
  CommandLineMap options;
  // The text up to its first NUL, then the NUL itself.
  const std::wstring text = command_line.substr(0, command_line.find(L'\0')) + L'\0';
  State state = State::kOutside;
  bool in_quotes = false;
  size_t key_begin = 0, key_end = 0, value_begin = 0;
  auto store = [&](std::wstring value) {
    const std::wstring key = text.substr(key_begin, key_end - key_begin);
    options.erase(key);  // the later key keeps its own spelling
    options.emplace(key, std::move(value));
  };
  for (size_t i = 0; i < text.size(); ++i) {
    const wchar_t c = text[i];
    switch (state) {
      case State::kOutside:
        if (in_quotes) {
          if (c == L'"') in_quotes = false;
        } else if (c == L'-') {
          if (text[i + 1] == L'-') ++i;
          state = State::kKeyStart;
        } else if (c == L'/') {
          state = State::kKeyStart;
        } else if (c == L'"') {
          in_quotes = true;
        }
        break;
      case State::kKeyStart:
        if (c == L'\0') return options;  // a bare "-" at the very end
        key_begin = i;
        state = State::kKey;
        break;
      case State::kKey:
        if (c == L' ' || c == L'\0') {
          key_end = i;
          store(L"1");
          state = State::kOutside;
        } else if (c == L':' || c == L'=') {
          key_end = i;
          state = State::kValueStart;
        }
        break;
      case State::kValueStart:
        if (c == L' ' || c == L'\0') {
          store(L"");
          state = State::kOutside;
        } else if (c == L'"') {
          in_quotes = true;
          value_begin = i + 1;
          state = State::kValue;
        } else {
          value_begin = i;
          state = State::kValue;
        }
        break;
      case State::kValue:
        if (c == L'\0' || (c == L' ' && !in_quotes) || (c == L'"' && in_quotes)) {
          store(text.substr(value_begin, i - value_begin));
          in_quotes = false;
          state = State::kOutside;
        }
        break;
    }
  }
  return options;
}

int32_t ShellStringToInt(const std::wstring& text) {
  size_t i = 0;
  const bool negative = i < text.size() && text[i] == L'-';
  if (negative) ++i;
  uint32_t value = 0;
  for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
    value = value * 10u + static_cast<uint32_t>(text[i] - L'0');
  }
  return static_cast<int32_t>(negative ? 0u - value : value);
}

}  // namespace kbase

// Reading JSON text into values. The accepted grammar, over wide characters:
//
//   root    = bool / integer / string / array / object
//             tried in this order, each from the first character; the first that
//             reads is the root and the text after it is not looked at
//   value   = null / bool / integer / string / array / object
//             chosen by the first character after whitespace
//   null    = "null"                     (what follows is not checked)
//   bool    = "true" / "false"           (what follows is not checked)
//   integer = ["-"] 1*digit              (32-bit, wrapping; no "+", fraction, exponent)
//   string  = ws '"' *(char / escape) '"'  (control characters are taken as they are)
//   escape  = "\" ( '"' / "/" / "\" / "b" / "f" / "n" / "r" / "t" / "u" 1*4hexdigit )
//   array   = ws "[" ws ( "]" / value ws *( "," value ws ) "]" )
//   object  = ws "{" ws ( "}" / member ws *( "," member ws ) "}" )
//   member  = string ws ":" value        (a repeated name replaces the earlier value)
//   ws      = *( space / tab / line feed / carriage return )
//
// At the root, bool and integer do not skip leading whitespace. Arrays and objects nest
// at most Error::kMaxDepth deep.
//
// Where errors are recorded: at the character found instead of the expected one (or
// the end of the text); 4 and 5 at the end of the text; 8 at the backslash opening the
// bad escape. A container whose value fails records 9 at the place the value stopped.

#include "common/json/json_reader.h"

#include "common/json/json_value.h"

namespace VwJson {

void Error::SeekTo(size_t position) {
  left_ += position_ - position;
  position_ = position;
}

bool Error::Match(const wchar_t* word) {
  size_t length = 0;
  while (word[length] != L'\0') ++length;
  if (left_ < length) return false;
  for (size_t i = 0; i < length; ++i) {
    if (text_[position_ + i] != word[i]) return false;
  }
  position_ += length;
  left_ -= length;
  return true;
}

void Error::SkipSpace() {
  while (!AtEnd()) {
    const wchar_t c = Peek();
    if (c != L' ' && c != L'\t' && c != L'\n' && c != L'\r') return;
    Advance();
  }
}

bool Error::Fail(int32_t code) {
  code_ = code;
  // Containers re-record a nested failure at the same place; skip the rescan then.
  if (line_ != -1 && error_position_ == position_) return false;
  int32_t line = 1;
  size_t line_start = 0;  // index just after the last line feed
  for (size_t i = 0; i < position_; ++i) {
    if (text_[i] == L'\n') {
      ++line;
      line_start = i + 1;
    }
  }
  line_ = line;
  column_ = static_cast<int32_t>(position_ - line_start + 1);
  error_position_ = position_;
  return false;
}

namespace {

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

int HexDigit(wchar_t c) {
  if (c >= L'0' && c <= L'9') return static_cast<int>(c - L'0');
  if (c >= L'a' && c <= L'f') return static_cast<int>(c - L'a') + 10;
  if (c >= L'A' && c <= L'F') return static_cast<int>(c - L'A') + 10;
  return -1;
}

// Two's-complement reinterpretation, spelled out because a plain cast of values above
// INT32_MAX is implementation-defined before C++20.
int32_t WrapToInt32(uint32_t u) {
  if (u <= 0x7FFFFFFFu) return static_cast<int32_t>(u);
  return static_cast<int32_t>(u - 0x80000000u) - 0x7FFFFFFF - 1;
}

std::unique_ptr<Value> MakeForFirstChar(wchar_t c) {
  if (c == L'"') return std::make_unique<ValueString>();
  if (c == L'-' || IsDigit(c)) return std::make_unique<ValueLong>();
  if (c == L'[') return std::make_unique<ValueArray>();
  if (c == L't' || c == L'f') return std::make_unique<ValueBool>();
  if (c == L'n') return std::make_unique<ValueNull>();
  if (c == L'{') return std::make_unique<ValueObject>();
  return nullptr;
}

// Reads one array item or member value; any failure is error 9 for the container.
std::unique_ptr<Value> ReadValue(Error& reader) {
  reader.SkipSpace();
  std::unique_ptr<Value> value;
  if (!reader.AtEnd()) value = MakeForFirstChar(reader.Peek());
  if (!value) {
    reader.Fail(kErrorValueExpected);
    return nullptr;
  }
  const bool nests = value->Type() == kTypeArray || value->Type() == kTypeObject;
  if ((nests && reader.Depth() >= Error::kMaxDepth) || !value->Parse(reader)) {
    reader.Fail(kErrorValueExpected);
    return nullptr;
  }
  return value;
}

// Counts one level of nesting for the lifetime of a container's Parse.
class NestingScope {
 public:
  explicit NestingScope(Error& reader) : reader_(reader) { reader_.Enter(); }
  ~NestingScope() { reader_.Leave(); }
  NestingScope(const NestingScope&) = delete;
  NestingScope& operator=(const NestingScope&) = delete;

 private:
  Error& reader_;
};

}  // namespace

bool ValueNull::Parse(Error& reader) { return reader.Match(L"null"); }

bool ValueBool::Parse(Error& reader) {
  if (reader.Match(L"true")) {
    value_ = true;
    return true;
  }
  if (reader.Match(L"false")) {
    value_ = false;
    return true;
  }
  return false;  // no code of its own
}

bool ValueLong::Parse(Error& reader) {
  bool negative = false;
  if (!reader.AtEnd() && reader.Peek() == L'-') {
    negative = true;
    reader.Advance();
    if (reader.AtEnd()) return reader.Fail(kErrorMinusAtEnd);
  }
  uint32_t magnitude = 0;
  bool any_digit = false;
  while (!reader.AtEnd() && IsDigit(reader.Peek())) {
    magnitude = magnitude * 10u + static_cast<uint32_t>(reader.Peek() - L'0');
    any_digit = true;
    reader.Advance();
  }
  if (!any_digit) return false;  // no code of its own
  number_ = WrapToInt32(negative ? 0u - magnitude : magnitude);
  return true;
}

bool ValueString::Parse(Error& reader) {
  reader.SkipSpace();
  if (reader.AtEnd() || reader.Peek() != L'"') return reader.Fail(kErrorQuoteExpected);
  reader.Advance();
  std::wstring text;
  for (;;) {
    if (reader.AtEnd()) return reader.Fail(kErrorUnterminated);
    wchar_t c = reader.Peek();
    reader.Advance();
    if (c == L'"') break;
    if (c != L'\\') {
      text += c;
      continue;
    }
    const size_t backslash = reader.Position() - 1;
    if (reader.AtEnd()) return reader.Fail(kErrorUnterminated);
    c = reader.Peek();
    reader.Advance();
    switch (c) {
      case L'"':
      case L'/':
      case L'\\':
        text += c;
        continue;
      case L'b': text += L'\b'; continue;
      case L'f': text += L'\f'; continue;
      case L'n': text += L'\n'; continue;
      case L'r': text += L'\r'; continue;
      case L't': text += L'\t'; continue;
      case L'u': break;
      default:
        reader.SeekTo(backslash);
        return reader.Fail(kErrorBadEscape);
    }
    // \u with up to four hex digits gives one UTF-16 unit. A zero unit is refused
    // rather than put into the text.
    uint32_t unit = 0;
    int digits = 0;
    while (digits < 4 && !reader.AtEnd() && HexDigit(reader.Peek()) >= 0) {
      unit = unit * 16u + static_cast<uint32_t>(HexDigit(reader.Peek()));
      ++digits;
      reader.Advance();
    }
    if (digits == 0 && reader.AtEnd()) return reader.Fail(kErrorUnterminated);
    if (digits == 0 || unit == 0) {
      reader.SeekTo(backslash);
      return reader.Fail(kErrorBadEscape);
    }
    text += static_cast<wchar_t>(unit);
  }
  text_ = std::move(text);
  return true;
}

bool ValueArray::Parse(Error& reader) {
  reader.SkipSpace();
  if (reader.AtEnd() || reader.Peek() != L'[') return reader.Fail(kErrorArrayExpected);
  reader.Advance();
  NestingScope scope(reader);
  reader.SkipSpace();
  if (!reader.AtEnd() && reader.Peek() == L']') {
    reader.Advance();
    return true;
  }
  for (;;) {
    std::unique_ptr<Value> item = ReadValue(reader);
    if (!item) return false;
    Append(std::move(item));
    reader.SkipSpace();
    if (reader.AtEnd()) return reader.Fail(kErrorSeparatorExpected);
    const wchar_t c = reader.Peek();
    if (c != L',' && c != L']') return reader.Fail(kErrorSeparatorExpected);
    reader.Advance();
    if (c == L']') return true;
  }
}

bool ValueObject::Parse(Error& reader) {
  reader.SkipSpace();
  if (reader.AtEnd() || reader.Peek() != L'{') return reader.Fail(kErrorObjectExpected);
  reader.Advance();
  NestingScope scope(reader);
  reader.SkipSpace();
  if (!reader.AtEnd() && reader.Peek() == L'}') {
    reader.Advance();
    return true;
  }
  for (;;) {
    ValueString name;
    if (!name.Parse(reader)) return false;  // keeps the string's own error
    reader.SkipSpace();
    if (reader.AtEnd() || reader.Peek() != L':') return reader.Fail(kErrorColonExpected);
    reader.Advance();
    std::unique_ptr<Value> value = ReadValue(reader);
    if (!value) return false;
    Set(name.Text(), std::move(value));
    reader.SkipSpace();
    if (reader.AtEnd()) return reader.Fail(kErrorSeparatorExpected);
    const wchar_t c = reader.Peek();
    if (c != L',' && c != L'}') return reader.Fail(kErrorSeparatorExpected);
    reader.Advance();
    if (c == L'}') return true;
  }
}

}  // namespace VwJson

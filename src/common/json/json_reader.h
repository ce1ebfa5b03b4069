#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace VwJson {

// Parse error codes (2 is not used).
constexpr int32_t kErrorObjectExpected = 1;     // '{' expected
constexpr int32_t kErrorQuoteExpected = 3;      // '"' expected
constexpr int32_t kErrorUnterminated = 4;       // string not terminated
constexpr int32_t kErrorMinusAtEnd = 5;         // '-' at the end of the text
constexpr int32_t kErrorColonExpected = 6;      // ':' expected after a member name
constexpr int32_t kErrorSeparatorExpected = 7;  // ',' or closing bracket expected
constexpr int32_t kErrorBadEscape = 8;          // bad escape sequence
constexpr int32_t kErrorValueExpected = 9;      // value expected or invalid
constexpr int32_t kErrorArrayExpected = 10;     // '[' expected

// The reading state handed to Value::Parse: the text, the position, the characters
// left, and the error recorded so far (code 0, line and column -1 while none). The
// text is borrowed and must outlive the reader.
class Error {
 public:
  // Arrays and objects nest at most this deep; hostile input must not exhaust the
  // stack of the recursive readers.
  static constexpr int32_t kMaxDepth = 512;

  explicit Error(const std::wstring& text) : Error(text.data(), text.size()) {}
  Error(const wchar_t* text, size_t length) : text_(text), left_(length) {}
  virtual ~Error() = default;

  int32_t Code() const { return code_; }
  int32_t Line() const { return line_; }
  int32_t Column() const { return column_; }

  size_t Position() const { return position_; }
  size_t Left() const { return left_; }
  bool AtEnd() const { return left_ == 0; }
  wchar_t Peek() const { return text_[position_]; }  // only when !AtEnd()
  void Advance() {
    ++position_;
    --left_;
  }
  void SeekTo(size_t position);  // a position already passed
  // Consumes `word` when the text goes on with exactly it; otherwise moves nothing.
  bool Match(const wchar_t* word);
  void SkipSpace();  // space, tab, line feed, carriage return

  // Records `code` at the current position and returns false, so readers can write
  // `return reader.Fail(code);`.
  bool Fail(int32_t code);

  // Nesting depth of the arrays and objects being read.
  int32_t Depth() const { return depth_; }
  void Enter() { ++depth_; }
  void Leave() { --depth_; }

 private:
  const wchar_t* text_;
  size_t position_ = 0;
  size_t left_;
  int32_t code_ = 0;
  int32_t line_ = -1;
  int32_t column_ = -1;
  int32_t depth_ = 0;
  size_t error_position_ = 0;  // where line_ and column_ were computed
};

}  // namespace VwJson

#pragma once
// Operands of the condition languages and the integer attributes of the configuration.
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kbase {

// Longest digit run that an expression operand may have.
constexpr size_t kMaxOperandDigits = 32;

// Decimal integer from the leading characters (optional sign, digits), as the
// configuration's numeric attributes are read: 0 when there is no digit, clamped to the
// int32 range when too large. Null reads as 0.
int32_t ReadLeadingInt(const char* text);

// Reads the digit run that starts at *pos (the caller saw a digit there) and moves *pos
// past it. False when the run is longer than kMaxOperandDigits. *fits is false when the
// number is outside the int32 range; such an operand names no item or leaf.
template <typename Char>
bool ReadOperand(std::basic_string_view<Char> text, size_t* pos, int32_t* number,
                 bool* fits) {
  const size_t start = *pos;
  int64_t value = 0;
  *fits = true;
  while (*pos < text.size() && text[*pos] >= '0' && text[*pos] <= '9') {
    if (*fits) {
      value = value * 10 + (text[*pos] - '0');
      if (value > INT32_MAX) *fits = false;
    }
    ++*pos;
  }
  if (*pos - start > kMaxOperandDigits) return false;
  *number = *fits ? static_cast<int32_t>(value) : 0;
  return true;
}

}  // namespace kbase

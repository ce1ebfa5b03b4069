#pragma once
// Reduction of a translated condition text to one truth value.
#include <string_view>

namespace kbase {

// Deepest parenthesis nesting the evaluator follows; deeper input is malformed.
constexpr int kMaxConditionNesting = 64;

// Reduces a text over "0", "1", "(", ")", "~", "&", "|" to 0 or 1 in *value. False
// when the text is malformed.
bool EvaluateBooleanText(std::string_view text, int* value);

}  // namespace kbase

// Item expression grammar (operands are leaf ids of the same item):
//
//   value   := ( operand | "(" | ")" | "~" | "&" | "|" )*
//   operand := digit{1,32}
//
// Operators and parentheses are copied; each operand becomes one "0"/"1" per leaf with
// that id, in the item's leaf order (none for an unknown id, two for a doubled id, which
// the evaluator then rejects). "~" stays an operator and negates a whole group.
#include "config/check_item.h"

#include <string_view>

#include "config/expression_number.h"

namespace kbase {

bool KCheckItem::Build(std::string* text) const {
  text->clear();
  const std::wstring_view expression = value;
  size_t pos = 0;
  while (pos < expression.size()) {
    const wchar_t c = expression[pos];
    if (c == L'&' || c == L'(' || c == L')' || c == L'|' || c == L'~') {
      text->push_back(static_cast<char>(c));
      ++pos;
      continue;
    }
    if (c < L'0' || c > L'9') return false;
    int32_t leaf_id = 0;
    bool fits = true;
    if (!ReadOperand(expression, &pos, &leaf_id, &fits)) return false;
    if (!fits) continue;
    for (const auto& leaf : leaves) {
      if (leaf->id == leaf_id) text->push_back(leaf->Check() != 0 ? '1' : '0');
    }
  }
  return true;
}

bool KCheckItem::IsWellFormedValue(const std::wstring& value) {
  size_t open = 0, close = 0;
  for (wchar_t c : value) {
    if (c == L'(') {
      ++open;
    } else if (c == L')') {
      ++close;
    } else if (!(c >= L'0' && c <= L'9') && c != L'~' && c != L'|' && c != L'&') {
      return false;
    }
  }
  return open == close;
}

}  // namespace kbase

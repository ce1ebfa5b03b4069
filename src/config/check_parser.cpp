// Condition expression grammar (operands are condition item ids):
//
//   condition := ( operand | "(" | ")" | "~" | "&" | "|" )*
//   operand   := digit{1,32}
//
// Translated left to right into a 0/1 text for the evaluator. Unlike item expressions,
// "~" is not copied: it negates the next operand only, wherever it stands, so ~(1|2)
// negates item 1 alone. An item that is missing or cannot be evaluated reads as "1"
// and is never negated. Every operand is looked up in text order before the reduction;
// nothing short-circuits, since leaf tests send reports.
#include "config/check_parser.h"

#include "config/boolean_evaluator.h"
#include "config/expression_number.h"

namespace kbase {

bool KCheckParser::Lookup(int32_t id, bool* value) const {
  for (const auto& item : items_) {
    if (item->id != id) continue;
    std::string text;
    if (!item->Build(&text)) return false;
    int result = 0;
    if (EvaluateBooleanText(text, &result)) {
      *value = result != 0;
      return true;
    }
  }
  return false;
}

int KCheckParser::EvaluateCondition(std::string_view condition) const {
  if (condition.empty()) return kConditionHolds;
  std::string text;
  const int translated = TranslateCondition(condition, &text);
  if (translated != 0) return translated;
  int result = 0;
  if (!EvaluateBooleanText(text, &result)) return kConditionMalformed;
  return result != 0 ? kConditionHolds : kConditionFails;
}

int KCheckParser::TranslateCondition(std::string_view condition, std::string* text) const {
  text->clear();
  bool negate = false;
  size_t pos = 0;
  while (pos < condition.size()) {
    const char c = condition[pos];
    if (c == '&' || c == '|' || c == '(' || c == ')') {
      text->push_back(c);
      ++pos;
      continue;
    }
    if (c == '~') {
      negate = true;
      ++pos;
      continue;
    }
    if (c < '0' || c > '9') return kConditionBadCharacter;
    int32_t item_id = 0;
    bool fits = true;
    if (!ReadOperand(condition, &pos, &item_id, &fits)) return kConditionMalformed;
    bool value = false;
    if (fits && Lookup(item_id, &value)) {
      text->push_back(value != negate ? '1' : '0');
    } else {
      text->push_back('1');
    }
    negate = false;
  }
  return kConditionHolds;
}

}  // namespace kbase

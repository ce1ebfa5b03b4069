// Grammar of the reduced text:
//
//   text     := element*            read up to the end or to a ")" that closes it
//   element  := "0" | "1"            a value
//             | "(" text ")"         a sub-expression, queued as one value
//             | "~" | "&" | "|"      an operator
//
// Values and operators go to two separate queues, and three passes reduce them:
// every "~" inverts the value that is current when it is met (so "~" binds tightest),
// then each run of values joined by "&" becomes one, then the rest must be joined by
// "|". A ")" at the outermost level ends the text; what follows it is not read.
#include "config/boolean_evaluator.h"

#include <vector>

namespace kbase {
namespace {

bool ReduceQueues(const std::vector<int>& values, const std::vector<char>& operators,
                  int* result) {
  if (operators.empty()) {
    if (values.size() != 1) return false;
    *result = values[0];
    return true;
  }
  if (values.empty()) return false;

  // Negation pass.
  std::vector<int> negated_values;
  std::vector<char> binary_operators;
  size_t next = 0;
  int current = values[next++];
  for (char op : operators) {
    if (op == '~') {
      current = !current;
      continue;
    }
    negated_values.push_back(current);
    binary_operators.push_back(op);
    if (next >= values.size()) return false;
    current = values[next++];
  }
  negated_values.push_back(current);
  if (next != values.size()) return false;

  // And pass.
  std::vector<int> joined_values;
  std::vector<char> or_operators;
  current = negated_values[0];
  for (size_t i = 0; i < binary_operators.size(); ++i) {
    if (binary_operators[i] == '&') {
      current = current & negated_values[i + 1];
    } else {
      joined_values.push_back(current);
      or_operators.push_back(binary_operators[i]);
      current = negated_values[i + 1];
    }
  }
  joined_values.push_back(current);

  // Or pass.
  current = joined_values[0];
  for (size_t i = 0; i < or_operators.size(); ++i) {
    if (or_operators[i] != '|') return false;
    current = current | joined_values[i + 1];
  }
  *result = current;
  return true;
}

// Reads elements from *pos up to the end or past a ")" and reduces them. The depth
// bound keeps a document's run of "(" from exhausting the stack.
bool EvaluateFrom(std::string_view text, size_t* pos, int depth, int* result) {
  std::vector<int> values;
  std::vector<char> operators;
  while (*pos < text.size()) {
    const char c = text[(*pos)++];
    if (c == '0' || c == '1') {
      values.push_back(c - '0');
    } else if (c == '(') {
      if (depth >= kMaxConditionNesting) return false;
      int inner = 0;
      if (!EvaluateFrom(text, pos, depth + 1, &inner)) return false;
      values.push_back(inner);
    } else if (c == ')') {
      break;
    } else {
      operators.push_back(c);
    }
  }
  return ReduceQueues(values, operators, result);
}

}  // namespace

bool EvaluateBooleanText(std::string_view text, int* value) {
  size_t open = 0, close = 0;
  for (char c : text) {
    switch (c) {
      case '(': ++open; break;
      case ')': ++close; break;
      case '0': case '1': case '~': case '&': case '|': break;
      default: return false;
    }
  }
  if (open != close) return false;
  size_t pos = 0;
  return EvaluateFrom(text, &pos, 0, value);
}

}  // namespace kbase

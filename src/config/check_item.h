#pragma once
// A condition item: numbered leaves and an item expression over their ids.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "config/check_leaf.h"

namespace kbase {

class KCheckItem {
 public:
  KCheckItem() = default;
  virtual ~KCheckItem() = default;
  KCheckItem(const KCheckItem&) = delete;
  KCheckItem& operator=(const KCheckItem&) = delete;

  // Translates the item expression into a 0/1 text for the evaluator, running the test
  // of every leaf each time its id is referenced. False at a character outside the
  // alphabet or an operand of more than 32 digits.
  bool Build(std::string* text) const;

  // The load-time rule for an item expression: only digits, "(", ")", "~", "|", "&",
  // and as many "(" as ")".
  static bool IsWellFormedValue(const std::wstring& value);

  int32_t id = 0;
  std::wstring name;   // descriptive only
  std::wstring value;  // the item expression
  std::vector<std::unique_ptr<ICheckLeaf>> leaves;
};

}  // namespace kbase

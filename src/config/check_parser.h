#pragma once
// The condition items of a configuration and the evaluation of condition expressions.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "config/check_item.h"

class TiXmlElement;

namespace kbase {

class ICheckLeafFactory;

// Results of a condition evaluation.
enum ConditionResult {
  kConditionHolds = 0,
  kConditionFails = 200,
  kConditionNoConfig = 201,
  kConditionMalformed = 202,
  kConditionBadCharacter = 204,
};

class KCheckParser {
 public:
  KCheckParser() = default;
  virtual ~KCheckParser() = default;
  KCheckParser(const KCheckParser&) = delete;
  KCheckParser& operator=(const KCheckParser&) = delete;

  // Reads the "item" children of the "check" element; malformed items are dropped.
  // False only when `check` is null. (Windows build: needs the XML reader.)
  bool Load(const TiXmlElement* check, ICheckLeafFactory* leaves);

  // Appends an item that already passed the load rules.
  void AddItem(std::unique_ptr<KCheckItem> item) { items_.push_back(std::move(item)); }
  const std::vector<std::unique_ptr<KCheckItem>>& items() const { return items_; }

  // Evaluates the items with this id in document order: the first whose text reduces
  // gives *value. False (not found) when none does, or at once when a build fails.
  bool Lookup(int32_t id, bool* value) const;

  // 0, 200, 202 or 204 for a condition expression (no configuration check here).
  int EvaluateCondition(std::string_view condition) const;
  // The first half of EvaluateCondition: each item reference becomes its 0/1 value
  // (unknown items count as true). 0, 202 or 204.
  int TranslateCondition(std::string_view condition, std::string* text) const;

 private:
  std::vector<std::unique_ptr<KCheckItem>> items_;
};

}  // namespace kbase

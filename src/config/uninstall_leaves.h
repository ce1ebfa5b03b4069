#pragma once
// Leaves over the product's uninstall history (count and time of the last uninstall).
// Both report step 1 of event 30 with their code and the uninstall count.
#include <memory>

#include "config/check_leaf.h"

class TiXmlElement;

namespace kbase {

// "uninstcounts": enough days have passed since the last uninstall, by a wait that grows
// with the uninstalls of the current cycle; and `switch` is on.
class KUninstCountsLeaf : public ICheckLeaf {
 public:
  explicit KUninstCountsLeaf(int32_t leaf_id) : ICheckLeaf(leaf_id) {}
  // "Interval", "count", "param", "switch"
  static std::unique_ptr<ICheckLeaf> Parse(int32_t id, const TiXmlElement& leaf);
  int32_t Check() override;

  int32_t interval = 0;
  int32_t count = 0;
  int32_t param = 0;
  int32_t switch_on = 0;
};

// "uninstcountandtime": the last uninstall was at most `Interval` days ago and there
// were at least `count`.
class KUninstCountAndTimeLeaf : public ICheckLeaf {
 public:
  explicit KUninstCountAndTimeLeaf(int32_t leaf_id) : ICheckLeaf(leaf_id) {}
  // "count", "Interval"
  static std::unique_ptr<ICheckLeaf> Parse(int32_t id, const TiXmlElement& leaf);
  int32_t Check() override;

  int32_t count = 0;
  int32_t interval = 0;
};

}  // namespace kbase

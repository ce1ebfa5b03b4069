#pragma once
// "cityblacklist": true unless the user's city is `cityid`; a matching city keeps the
// leaf true only with the chance `percent` gives. The city information reply is asked
// for once per process and cached; a match reports step 4 of event 30.
#include <memory>
#include <string>

#include "config/check_leaf.h"

class TiXmlElement;

namespace kbase {

class KCityBlackListLeaf : public ICheckLeaf {
 public:
  explicit KCityBlackListLeaf(int32_t leaf_id) : ICheckLeaf(leaf_id) {}
  ~KCityBlackListLeaf() override;
  // "percent", "cityid"
  static std::unique_ptr<ICheckLeaf> Parse(int32_t id, const TiXmlElement& leaf);
  int32_t Check() override;

  int32_t percent = 0;
  std::wstring cityid;
};

// The cached reply text (empty until a lookup succeeds). Tests reset it.
const std::wstring& CachedCityReply();
void ResetCityReplyCacheForTesting();

}  // namespace kbase

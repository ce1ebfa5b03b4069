#pragma once
// The leaf factory the configuration manager gets: every kind of leaf, by "mode".
#include "config/check_leaf_factory.h"

namespace kbase {

class KCheckLeafFactory : public ICheckLeafFactory {
 public:
  std::unique_ptr<ICheckLeaf> CreateLeaf(const std::string& mode, int32_t id,
                                         const TiXmlElement& leaf) override;
};

}  // namespace kbase

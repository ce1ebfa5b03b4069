#pragma once
// Builds the leaf of one "leaf" element; the kinds are picked by the "mode" attribute.
#include <memory>
#include <string>

#include "config/check_leaf.h"

class TiXmlElement;

namespace kbase {

class ICheckLeafFactory {
 public:
  virtual ~ICheckLeafFactory() = default;
  // A new leaf for the element, whose "mode" and "id" are present; `id` is already read.
  // Null when the mode (compared without regard to case) names no kind or an attribute
  // the kind needs is missing; the item holding the leaf is then dropped.
  virtual std::unique_ptr<ICheckLeaf> CreateLeaf(const std::string& mode, int32_t id,
                                                 const TiXmlElement& leaf) = 0;
};

}  // namespace kbase

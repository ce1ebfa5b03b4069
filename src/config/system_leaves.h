#pragma once
// Leaves over facts of the running system: the OS code and virtual-machine detection.
#include <memory>
#include <string>

#include "config/check_leaf.h"

class TiXmlElement;

namespace kbase {

// "osversion": `versionvalue`, read as a decimal number, is this system's OS code.
class KOSVersionLeaf : public ICheckLeaf {
 public:
  explicit KOSVersionLeaf(int32_t leaf_id) : ICheckLeaf(leaf_id) {}
  ~KOSVersionLeaf() override;
  // "versionvalue"
  static std::unique_ptr<ICheckLeaf> Parse(int32_t id, const TiXmlElement& leaf);
  int32_t Check() override;

  std::wstring versionvalue;
};

// "vmvare": a virtual machine or sandbox is detected and `switch` is on. Reports step 3
// of event 30 whatever the result.
class KWorkInVMvareLeaf : public ICheckLeaf {
 public:
  explicit KWorkInVMvareLeaf(int32_t leaf_id) : ICheckLeaf(leaf_id) {}
  static std::unique_ptr<ICheckLeaf> Parse(int32_t id, const TiXmlElement& leaf);  // "switch"
  int32_t Check() override;

  int32_t switch_on = 0;
};

}  // namespace kbase

#pragma once
// One yes/no test of the machine inside a condition item.
#include <cstdint>

namespace kbase {

class ICheckLeaf {
 public:
  explicit ICheckLeaf(int32_t leaf_id) : id(leaf_id) {}
  virtual ~ICheckLeaf() = default;
  ICheckLeaf(const ICheckLeaf&) = delete;
  ICheckLeaf& operator=(const ICheckLeaf&) = delete;

  // Runs the test; non-zero means true.
  virtual int32_t Check() = 0;

  int32_t id;
};

}  // namespace kbase

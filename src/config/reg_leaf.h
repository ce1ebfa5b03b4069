#pragma once
// "reg": a registry value exists with exactly the expected type; text types must be
// non-empty, and a REG_DWORD gives its own number as the result.
#include <memory>
#include <string>

#include "config/check_leaf.h"

class TiXmlElement;

namespace kbase {

class KRegLeaf : public ICheckLeaf {
 public:
  explicit KRegLeaf(int32_t leaf_id) : ICheckLeaf(leaf_id) {}
  ~KRegLeaf() override;

  // Needs "mainkey", "subkey", "keyname", "wow64", "keytype".
  static std::unique_ptr<ICheckLeaf> Parse(int32_t id, const TiXmlElement& leaf);

  int32_t Check() override;

  std::wstring mainkey;
  std::wstring subkey;
  std::wstring keyname;
  int32_t wow64 = 0;
  int32_t keytype = 0;
};

}  // namespace kbase

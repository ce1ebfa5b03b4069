#pragma once
// "regfile": a registry value names a folder, and that folder holds the file `name`.
#include <memory>
#include <string>

#include "config/check_leaf.h"

class TiXmlElement;

namespace kbase {

class KRegFileLeaf : public ICheckLeaf {
 public:
  explicit KRegFileLeaf(int32_t leaf_id) : ICheckLeaf(leaf_id) {}
  ~KRegFileLeaf() override;

  // Needs "mainkey", "subkey", "keyname", "name", "wow64".
  static std::unique_ptr<ICheckLeaf> Parse(int32_t id, const TiXmlElement& leaf);

  int32_t Check() override;

  std::wstring mainkey;
  std::wstring subkey;
  std::wstring keyname;
  std::wstring name;
  int32_t wow64 = 0;
};

}  // namespace kbase

#pragma once
// Leaves that look for a folder or file at a path written in the configuration.
#include <memory>
#include <string>

#include "config/check_leaf.h"

class TiXmlElement;

namespace kbase {

// "varexfile": `path` after %VAR% environment expansion exists, and so does
// path\name when `name` is not empty.
class KVarExFileLeaf : public ICheckLeaf {
 public:
  explicit KVarExFileLeaf(int32_t leaf_id) : ICheckLeaf(leaf_id) {}
  ~KVarExFileLeaf() override;
  // "path", "name"
  static std::unique_ptr<ICheckLeaf> Parse(int32_t id, const TiXmlElement& leaf);
  int32_t Check() override;

  std::wstring path;
  std::wstring name;
};

// "fullpathfile": the same without expansion.
class KFullPathFileLeaf : public ICheckLeaf {
 public:
  explicit KFullPathFileLeaf(int32_t leaf_id) : ICheckLeaf(leaf_id) {}
  ~KFullPathFileLeaf() override;
  // "path", "name"
  static std::unique_ptr<ICheckLeaf> Parse(int32_t id, const TiXmlElement& leaf);
  int32_t Check() override;

  std::wstring path;
  std::wstring name;
};

}  // namespace kbase

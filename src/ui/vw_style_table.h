#pragma once
// The process-wide style table: style name -> VwStyle. A name that is not in the table
// yields the shared default style, kept under the empty name.
#include <memory>
#include <string>
#include <unordered_map>

#include "ui/vw_style.h"

namespace kbase {

class VwStyleTable {
 public:
  VwStyleTable();
  static VwStyleTable& Instance();

  // Empties the table and recreates the default style.
  void Clear();
  // Merges a style document ("style" root, "class" children with "name"); an existing
  // name keeps its first definition. 1 when the document parsed with that root.
  int LoadFromText(const std::string& xml);

  // Never null: the named style, else the default style.
  const VwStyle& Find(const std::string& name) const;
  bool Contains(const std::string& name) const { return styles_.count(name) != 0; }
  size_t size() const { return styles_.size(); }

 private:
  void EnsureDefault();
  std::unordered_map<std::string, std::unique_ptr<VwStyle>> styles_;
};

}  // namespace kbase

#pragma once
// The process-wide skin table: skin name -> skin. Skins are made when a skin document is
// loaded; their images are read on the first lookup.
#include <memory>
#include <string>
#include <unordered_map>

#include "ui/vw_skin_base.h"

namespace kbase {

class VwSkinPool {
 public:
  static VwSkinPool& Instance();

  // Destroys every skin with its cached bitmaps.
  void Clear() { skins_.clear(); }
  // Merges a skin document ("skins" root); a name already in the table keeps its first
  // definition, an unknown tag is skipped. 1 when the document parsed with that root.
  int LoadFromText(const std::string& xml);
  // The skin after EnsureLoaded, or null when the name is not in the table.
  CVwSkinBase* Find(const std::string& name);
  // The skin without loading its image (null when absent).
  CVwSkinBase* Peek(const std::string& name) const;
  size_t size() const { return skins_.size(); }

  // The skin kind for a tag, in the order the tags are tried; null for an unknown tag.
  static std::unique_ptr<CVwSkinBase> CreateByTag(const char* tag);

 private:
  std::unordered_map<std::string, std::unique_ptr<CVwSkinBase>> skins_;
};

}  // namespace kbase

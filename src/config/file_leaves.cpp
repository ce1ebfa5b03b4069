#include "config/file_leaves.h"

#include <windows.h>

#include "common/win/file_facts.h"
#include "config/leaf_attributes.h"

namespace kbase {
namespace {

// The path exists and, with a name, so does the file or folder of that name inside it
// (one trailing separator of the path is dropped first).
int32_t PathAndNameExist(std::wstring path, const std::wstring& name) {
  if (!PathExists(path)) return 0;
  if (name.empty()) return 1;
  if (!path.empty() && (path.back() == L'\\' || path.back() == L'/')) path.pop_back();
  return PathExists(path + L"\\" + name) ? 1 : 0;
}

template <typename Leaf>
std::unique_ptr<ICheckLeaf> ParsePathLeaf(int32_t id, const TiXmlElement& leaf) {
  auto made = std::make_unique<Leaf>(id);
  if (!ReadLeafText(leaf, "path", &made->path) || !ReadLeafText(leaf, "name", &made->name)) {
    return nullptr;
  }
  return made;
}

}  // namespace

KVarExFileLeaf::~KVarExFileLeaf() = default;

std::unique_ptr<ICheckLeaf> KVarExFileLeaf::Parse(int32_t id, const TiXmlElement& leaf) {
  return ParsePathLeaf<KVarExFileLeaf>(id, leaf);
}

int32_t KVarExFileLeaf::Check() {
  wchar_t expanded[MAX_PATH] = {};
  // The count includes the terminating zero: at most 259 characters fit.
  const DWORD needed = ::ExpandEnvironmentStringsW(path.c_str(), expanded, MAX_PATH);
  if (needed == 0 || needed > MAX_PATH) return 0;
  return PathAndNameExist(expanded, name);
}

KFullPathFileLeaf::~KFullPathFileLeaf() = default;

std::unique_ptr<ICheckLeaf> KFullPathFileLeaf::Parse(int32_t id, const TiXmlElement& leaf) {
  return ParsePathLeaf<KFullPathFileLeaf>(id, leaf);
}

int32_t KFullPathFileLeaf::Check() { return PathAndNameExist(path, name); }

}  // namespace kbase

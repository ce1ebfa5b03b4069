#include "config/reg_file_leaf.h"

#include <windows.h>

#include "common/win/scoped_handle.h"
#include "config/leaf_attributes.h"
#include "config/leaf_registry_view.h"
#include "config/path_text.h"
#include "config/registry_root.h"

namespace kbase {
namespace {

constexpr DWORD kValueBufferSize = 520;

int32_t TestFolderValue(HKEY root, const KRegFileLeaf& leaf, REGSAM access) {
  ScopedKey key;
  if (::RegOpenKeyExW(root, leaf.subkey.c_str(), 0, access, key.receive()) != ERROR_SUCCESS) {
    return 0;
  }
  // One spare character keeps a value stored without its terminator readable.
  wchar_t buffer[kValueBufferSize / sizeof(wchar_t) + 1] = {};
  DWORD size = kValueBufferSize;
  if (::RegQueryValueExW(key.get(), leaf.keyname.c_str(), nullptr, nullptr,
                         reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS) {
    return 0;
  }
  std::wstring path(buffer);
  StripQuotes(&path);
  if (path.empty() || path.back() != L'\\') path += L'\\';
  path += leaf.name;
  return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES ? 1 : 0;
}

}  // namespace

KRegFileLeaf::~KRegFileLeaf() = default;

std::unique_ptr<ICheckLeaf> KRegFileLeaf::Parse(int32_t id, const TiXmlElement& leaf) {
  auto made = std::make_unique<KRegFileLeaf>(id);
  if (!ReadLeafText(leaf, "mainkey", &made->mainkey) ||
      !ReadLeafText(leaf, "subkey", &made->subkey) ||
      !ReadLeafText(leaf, "keyname", &made->keyname) ||
      !ReadLeafText(leaf, "name", &made->name) || !ReadLeafInt(leaf, "wow64", &made->wow64)) {
    return nullptr;
  }
  return made;
}

int32_t KRegFileLeaf::Check() {
  const HKEY root = ShortRegistryRoot(mainkey);
  if (root == nullptr) return 0;
  return TestInLeafViews(wow64, [&](REGSAM access) { return TestFolderValue(root, *this, access); });
}

}  // namespace kbase

#include "config/reg_leaf.h"

#include <windows.h>

#include <cstring>

#include "common/win/scoped_handle.h"
#include "config/leaf_attributes.h"
#include "config/leaf_registry_view.h"
#include "config/registry_root.h"

namespace kbase {
namespace {

constexpr DWORD kValueBufferSize = 520;

int32_t TestValue(HKEY root, const std::wstring& subkey, const std::wstring& name,
                  int32_t keytype, REGSAM access) {
  ScopedKey key;
  if (::RegOpenKeyExW(root, subkey.c_str(), 0, access, key.receive()) != ERROR_SUCCESS) return 0;
  // Zero-filled, so a short DWORD or a string without its terminator reads safely.
  BYTE buffer[kValueBufferSize + sizeof(wchar_t)] = {};
  DWORD type = REG_NONE;
  DWORD size = kValueBufferSize;
  if (::RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, buffer, &size) !=
      ERROR_SUCCESS) {
    return 0;
  }
  if (type != static_cast<DWORD>(keytype)) return 0;
  switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
      return size >= sizeof(wchar_t) && (buffer[0] != 0 || buffer[1] != 0) ? 1 : 0;
    case REG_DWORD: {
      DWORD number = 0;
      std::memcpy(&number, buffer, sizeof(number));
      return static_cast<int32_t>(number);
    }
    default:
      return 1;
  }
}

}  // namespace

KRegLeaf::~KRegLeaf() = default;

std::unique_ptr<ICheckLeaf> KRegLeaf::Parse(int32_t id, const TiXmlElement& leaf) {
  auto made = std::make_unique<KRegLeaf>(id);
  if (!ReadLeafText(leaf, "mainkey", &made->mainkey) ||
      !ReadLeafText(leaf, "subkey", &made->subkey) ||
      !ReadLeafText(leaf, "keyname", &made->keyname) ||
      !ReadLeafInt(leaf, "wow64", &made->wow64) || !ReadLeafInt(leaf, "keytype", &made->keytype)) {
    return nullptr;
  }
  return made;
}

int32_t KRegLeaf::Check() {
  if (mainkey.empty() || subkey.empty() || keyname.empty()) return 0;
  const HKEY root = ShortRegistryRoot(mainkey);
  if (root == nullptr) return 0;
  return TestInLeafViews(wow64, [&](REGSAM access) {
    return TestValue(root, subkey, keyname, keytype, access);
  });
}

}  // namespace kbase

// The "variable" section:
//
//   <variable>
//     <item mode="regfile" name="N" mainkey="hklm" subkey="S" keyname="V" [wow64="0"]/>*
//   </variable>
//
// An item with another mode, a missing attribute or an unknown root is dropped.
#include "config/variable_parser.h"

#include <tinyxml.h>

#include <cstring>
#include <cwchar>
#include <string>

#include "common/win/ansi_text.h"
#include "common/win/scoped_handle.h"
#include "config/expression_number.h"
#include "config/path_text.h"
#include "config/registry_root.h"
#include "config/windows_bitness.h"

namespace kbase {
namespace {

constexpr DWORD kValueBufferBytes = 520;

std::unique_ptr<KVariableItem> LoadItem(const TiXmlElement& element) {
  const char* mode = element.Attribute("mode");
  const char* name = element.Attribute("name");
  const char* mainkey = element.Attribute("mainkey");
  const char* subkey = element.Attribute("subkey");
  const char* keyname = element.Attribute("keyname");
  if (mode == nullptr || _stricmp(mode, "regfile") != 0 || name == nullptr ||
      mainkey == nullptr || subkey == nullptr || keyname == nullptr) {
    return nullptr;
  }
  auto item = std::make_unique<KVariableItem>();
  item->root = ShortRegistryRoot(FromAnsi(mainkey));
  if (item->root == nullptr) return nullptr;
  item->name = FromAnsi(name);
  item->subkey = FromAnsi(subkey);
  item->keyname = FromAnsi(keyname);
  item->mode = FromAnsi(mode);
  const char* wow64 = element.Attribute("wow64");
  item->wow64 = wow64 != nullptr ? ReadLeadingInt(wow64) : 1;
  return item;
}

}  // namespace

bool KVariableParser::Load(const TiXmlElement* variable) {
  if (variable == nullptr) return false;
  items_.clear();
  for (const TiXmlElement* element = variable->FirstChildElement("item"); element != nullptr;
       element = element->NextSiblingElement("item")) {
    std::unique_ptr<KVariableItem> item = LoadItem(*element);
    if (item != nullptr) items_.push_back(std::move(item));
  }
  return true;
}

bool KVariableParser::Lookup(const std::wstring& name, std::wstring* value) const {
  for (const auto& item : items_) {
    if (item->name == name) {
      *value = ReadVariableValue(*item);
      return true;
    }
  }
  return false;
}

std::wstring ReadVariableValue(const KVariableItem& item) {
  ScopedKey key;
  bool opened = false;
  if (IsWindows64Bit() && item.wow64 == 0) {
    opened = ::RegOpenKeyExW(item.root, item.subkey.c_str(), 0, KEY_READ | KEY_WOW64_64KEY,
                             key.receive()) == ERROR_SUCCESS;
  }
  if (!opened && ::RegOpenKeyExW(item.root, item.subkey.c_str(), 0,
                                 KEY_READ | KEY_WOW64_32KEY, key.receive()) != ERROR_SUCCESS) {
    return std::wstring();
  }
  // Aligned for the wide characters and numbers read out of it.
  alignas(8) BYTE data[kValueBufferBytes] = {};
  DWORD size = sizeof(data);
  DWORD type = REG_NONE;
  if (::RegQueryValueExW(key.get(), item.keyname.c_str(), nullptr, &type, data, &size) !=
          ERROR_SUCCESS ||
      size > sizeof(data)) {
    return std::wstring();
  }
  std::wstring text;
  switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
    case REG_MULTI_SZ: {
      // Stored strings need not end in a zero; stop at the first one or at the end.
      const wchar_t* chars = reinterpret_cast<const wchar_t*>(data);
      const size_t count = size / sizeof(wchar_t);
      size_t length = 0;
      while (length < count && chars[length] != L'\0') ++length;
      text.assign(chars, length);
      break;
    }
    case REG_DWORD: {
      if (size < sizeof(DWORD)) return std::wstring();
      int32_t number = 0;
      std::memcpy(&number, data, sizeof(number));
      text = std::to_wstring(number);
      break;
    }
    case REG_QWORD: {
      if (size < sizeof(int64_t)) return std::wstring();
      int64_t number = 0;
      std::memcpy(&number, data, sizeof(number));
      text = std::to_wstring(number);
      break;
    }
    default:
      return std::wstring();
  }
  StripQuotes(&text);
  StripTrailingBackslash(&text);
  return text;
}

}  // namespace kbase

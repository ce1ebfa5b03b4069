#pragma once
// Configuration variables: "%#name%" in configuration paths, each read from a registry
// value as the configuration's "variable" section says.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TiXmlElement;

namespace kbase {

struct KVariableItem {
  std::wstring name;
  HKEY root = nullptr;
  std::wstring subkey;
  std::wstring keyname;  // the registry value's name
  std::wstring mode;     // always "regfile"
  int32_t wow64 = 1;     // 0 reads the 64-bit view first on 64-bit Windows
};

class KVariableParser {
 public:
  KVariableParser() = default;
  virtual ~KVariableParser() = default;
  KVariableParser(const KVariableParser&) = delete;
  KVariableParser& operator=(const KVariableParser&) = delete;

  // Replaces the items by the valid "item" children; false only when `variable` is null.
  bool Load(const TiXmlElement* variable);
  // The value of the first item named exactly `name`, read from the registry now
  // (empty when it cannot be read). False when no item has that name.
  bool Lookup(const std::wstring& name, std::wstring* value) const;

  const std::vector<std::unique_ptr<KVariableItem>>& items() const { return items_; }

 private:
  std::vector<std::unique_ptr<KVariableItem>> items_;
};

// The text of one configuration variable's registry value: strings as stored (the first
// of a multi-string), DWORD and QWORD as signed decimal, without surrounding quotes and a
// trailing backslash. Empty when the key or value cannot be read or has another type.
std::wstring ReadVariableValue(const KVariableItem& item);

}  // namespace kbase

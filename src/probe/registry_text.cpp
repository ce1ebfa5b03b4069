#include "probe/registry_text.h"

#include <vector>

#include "common/win/scoped_handle.h"

namespace kbase {

bool ReadRegistryText(HKEY key, const wchar_t* name, std::wstring* text, size_t max_chars) {
  text->clear();
  DWORD type = 0;
  DWORD bytes = 0;
  LONG result = ::RegQueryValueExW(key, name, nullptr, &type, nullptr, &bytes);
  if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return false;
  // The value may change between the two calls; retry a few times when it grew.
  for (int attempt = 0; attempt < 3; ++attempt) {
    // Room for an odd trailing byte and a terminator the value may lack.
    std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 2, L'\0');
    DWORD size = static_cast<DWORD>((buffer.size() - 1) * sizeof(wchar_t));
    result = ::RegQueryValueExW(key, name, nullptr, &type,
                                reinterpret_cast<BYTE*>(buffer.data()), &size);
    if (result == ERROR_MORE_DATA) {
      bytes = size;
      continue;
    }
    if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return false;
    size_t chars = size / sizeof(wchar_t);
    if (chars > buffer.size() - 1) chars = buffer.size() - 1;
    size_t length = 0;
    while (length < chars && buffer[length] != L'\0') ++length;
    if (length > max_chars) length = max_chars;
    text->assign(buffer.data(), length);
    return true;
  }
  return false;
}

bool ReadRegistryText(HKEY root, const wchar_t* subkey, const wchar_t* name, REGSAM access,
                      std::wstring* text, size_t max_chars) {
  text->clear();
  ScopedKey key;
  if (::RegOpenKeyExW(root, subkey, 0, access, key.receive()) != ERROR_SUCCESS) return false;
  return ReadRegistryText(key.get(), name, text, max_chars);
}

}  // namespace kbase

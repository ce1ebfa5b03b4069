#pragma once
// Reading string values from a registry that anything on the machine may have written:
// any size, any type, with or without a terminator.
#include <windows.h>

#include <string>

namespace kbase {

// A REG_SZ or REG_EXPAND_SZ value of an open key, up to its first terminator. False
// (and an empty text) for a missing value, another type, or a failing read.
// `max_chars` caps what is kept; a longer value is cut there.
bool ReadRegistryText(HKEY key, const wchar_t* name, std::wstring* text,
                      size_t max_chars = 32767);

// The same below `root`\`subkey`, opened with `access` (KEY_QUERY_VALUE plus any view
// flags).
bool ReadRegistryText(HKEY root, const wchar_t* subkey, const wchar_t* name, REGSAM access,
                      std::wstring* text, size_t max_chars = 32767);

}  // namespace kbase

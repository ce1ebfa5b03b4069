// Path variables:
//
//   builtin   := "%ALLUSERSPROFILE%" | "%APPDATA%" | "%TEMP%" | "%SYSTEM%" | "%WINDOWS%"
//              | "%CUR_MODULE%" | "%CUR_EXE_MODULE%" | "%CUR_DIR%"     (case-sensitive)
//   config    := "%#" name "%"
//   random    := "?"+          only the first run, one hex digit per "?"
//
// One call of ExpandPathTokens resolves one built-in kind: a text that names two keeps
// the second literally, so callers that need both expand twice.
#include "config/path_expansion.h"

#include <cstdio>

#include "config/path_text.h"

namespace kbase {

const wchar_t* const kPathTokens[kPathTokenCount] = {
    L"%ALLUSERSPROFILE%", L"%APPDATA%",    L"%TEMP%",           L"%SYSTEM%",
    L"%WINDOWS%",         L"%CUR_MODULE%", L"%CUR_EXE_MODULE%", L"%CUR_DIR%",
};

namespace {

// Replaces every occurrence of `from`; inserted text is not searched again.
void ReplaceAll(std::wstring* text, const std::wstring& from, const std::wstring& to) {
  for (size_t at = text->find(from); at != std::wstring::npos;
       at = text->find(from, at + to.size())) {
    text->replace(at, from.size(), to);
  }
}

}  // namespace

bool ExpandPathTokens(std::wstring* text, const PathTokenResolver& resolve,
                      const RandomNumberSource& random) {
  if (text->empty()) return false;
  size_t index = 0;
  while (index < kPathTokenCount && text->find(kPathTokens[index]) == std::wstring::npos) {
    ++index;
  }
  if (index == kPathTokenCount) return false;
  std::wstring value;
  if (!resolve(index, &value)) return false;
  ReplaceAll(text, kPathTokens[index], value);

  for (size_t at = text->find(L'?'); at < text->size() && (*text)[at] == L'?'; ++at) {
    (*text)[at] = L"0123456789ABCDEF"[random() % 16];
  }
  NormalizeSeparators(text);
  return true;
}

void ExpandConfigReferences(std::wstring* text, const ConfigVariableLookup& lookup) {
  if (text->empty()) return;
  size_t at = 0;
  while ((at = text->find(L"%#", at)) != std::wstring::npos) {
    const size_t close = text->find(L'%', at + 2);
    if (close == std::wstring::npos) return;
    const std::wstring name = text->substr(at + 2, close - at - 2);
    std::wstring value;
    if (lookup(name, &value)) ReplaceAll(text, L"%#" + name + L"%", value);
    // The scan resumes at the same index in the changed text.
    at = close + 1;
  }
}

}  // namespace kbase

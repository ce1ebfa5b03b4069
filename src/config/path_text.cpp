#include "config/path_text.h"

namespace kbase {

void StripQuotes(std::wstring* text) {
  if (!text->empty() && text->front() == L'"') text->erase(0, 1);
  if (!text->empty() && text->back() == L'"') text->pop_back();
}

void StripTrailingBackslash(std::wstring* text) {
  if (!text->empty() && text->back() == L'\\') text->pop_back();
}

void NormalizeSeparators(std::wstring* text) {
  std::wstring out;
  out.reserve(text->size());
  for (wchar_t c : *text) {
    if (c == L'/') c = L'\\';
    if (c == L'\\' && !out.empty() && out.back() == L'\\') continue;
    out.push_back(c);
  }
  text->swap(out);
}

void AddTrailingBackslash(std::wstring* text) {
  NormalizeSeparators(text);
  if (text->empty() || (text->back() != L'\\' && text->back() != L'/')) text->push_back(L'\\');
}

}  // namespace kbase

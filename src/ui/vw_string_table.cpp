#include "ui/vw_string_table.h"

#include <tinyxml.h>

#include <climits>
#include <cstring>

#include "ui/utf8_text.h"
#include "ui/vw_attribute_text.h"

namespace kbase {

VwString& VwString::Instance() {
  static VwString table;
  return table;
}

int VwString::LoadFromText(const std::string& xml) {
  TiXmlDocument document;
  document.Parse(xml.c_str(), nullptr, TIXML_ENCODING_UTF8);
  if (document.Error()) return 0;
  const TiXmlElement* root = document.RootElement();
  if (root == nullptr || std::strcmp(root->Value(), "string") != 0) return 0;
  for (const TiXmlElement* item = root->FirstChildElement("s"); item != nullptr;
       item = item->NextSiblingElement("s")) {
    const char* id = item->Attribute("id");
    if (id == nullptr) continue;
    const int number = ParseDecimal(id);
    if (strings_.count(number) != 0) continue;
    const char* text = item->GetText();
    strings_.emplace(number, WideFromUtf8(text != nullptr ? text : ""));
  }
  return 1;
}

std::wstring VwString::Get(int id) const {
  auto found = strings_.find(id);
  return found == strings_.end() ? std::wstring() : found->second;
}

std::wstring SubstituteStringReferences(const std::wstring& text, const VwString& table) {
  static const wchar_t kMarker[] = L"%str";
  constexpr size_t kMarkerLength = 4;
  std::wstring out;
  size_t from = 0;
  for (;;) {
    const size_t at = text.find(kMarker, from);
    if (at == std::wstring::npos) break;
    size_t digits = at + kMarkerLength;
    long long number = 0;
    while (digits < text.size() && text[digits] >= L'0' && text[digits] <= L'9') {
      if (number <= INT_MAX) number = number * 10 + (text[digits] - L'0');
      ++digits;
    }
    if (number < 1 || number > INT_MAX || digits >= text.size() || text[digits] != L'%') break;
    out.append(text, from, at - from);
    out += table.Get(static_cast<int>(number));
    from = digits + 1;
  }
  out.append(text, from, std::wstring::npos);
  return out;
}

}  // namespace kbase

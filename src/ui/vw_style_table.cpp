#include "ui/vw_style_table.h"

#include <tinyxml.h>

#include <cstring>

namespace kbase {

VwStyleTable::VwStyleTable() { EnsureDefault(); }

VwStyleTable& VwStyleTable::Instance() {
  static VwStyleTable table;
  return table;
}

void VwStyleTable::EnsureDefault() {
  if (styles_.count(std::string()) == 0) styles_.emplace(std::string(), std::make_unique<VwStyle>());
}

void VwStyleTable::Clear() {
  styles_.clear();
  EnsureDefault();
}

int VwStyleTable::LoadFromText(const std::string& xml) {
  TiXmlDocument document;
  document.Parse(xml.c_str(), nullptr, TIXML_ENCODING_UTF8);
  if (document.Error()) return 0;
  const TiXmlElement* root = document.RootElement();
  if (root == nullptr || std::strcmp(root->Value(), "style") != 0) return 0;
  for (const TiXmlElement* item = root->FirstChildElement("class"); item != nullptr;
       item = item->NextSiblingElement("class")) {
    const char* name = item->Attribute("name");
    if (name == nullptr || styles_.count(name) != 0) continue;
    auto style = std::make_unique<VwStyle>();
    style->Load(*item);
    styles_.emplace(name, std::move(style));
  }
  return 1;
}

const VwStyle& VwStyleTable::Find(const std::string& name) const {
  auto found = styles_.find(name);
  if (found == styles_.end()) found = styles_.find(std::string());
  return *found->second;
}

}  // namespace kbase

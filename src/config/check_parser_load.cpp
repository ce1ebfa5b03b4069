// Loading of the "check" section:
//
//   <check>
//     <item id="N" name="text" value="item expression">
//       <leaf mode="kind" id="N" .../>*
//     </item>*
//   </check>
//
// An item needs "id", "name" and "value", a well-formed value and only leaves that the
// leaf factory accepts; otherwise it is dropped and loading goes on.
#include <tinyxml.h>

#include "common/win/ansi_text.h"
#include "config/check_leaf_factory.h"
#include "config/check_parser.h"
#include "config/expression_number.h"

namespace kbase {
namespace {

std::unique_ptr<KCheckItem> LoadItem(const TiXmlElement& element, ICheckLeafFactory* factory) {
  const char* id = element.Attribute("id");
  const char* name = element.Attribute("name");
  const char* value = element.Attribute("value");
  if (id == nullptr || name == nullptr || value == nullptr) return nullptr;
  auto item = std::make_unique<KCheckItem>();
  item->id = ReadLeadingInt(id);
  item->name = FromAnsi(name);
  item->value = FromAnsi(value);
  for (const TiXmlElement* leaf = element.FirstChildElement("leaf"); leaf != nullptr;
       leaf = leaf->NextSiblingElement("leaf")) {
    const char* mode = leaf->Attribute("mode");
    const char* leaf_id = leaf->Attribute("id");
    if (mode == nullptr || leaf_id == nullptr || factory == nullptr) return nullptr;
    std::unique_ptr<ICheckLeaf> made = factory->CreateLeaf(mode, ReadLeadingInt(leaf_id), *leaf);
    if (made == nullptr) return nullptr;
    item->leaves.push_back(std::move(made));
  }
  if (!KCheckItem::IsWellFormedValue(item->value)) return nullptr;
  return item;
}

}  // namespace

bool KCheckParser::Load(const TiXmlElement* check, ICheckLeafFactory* leaves) {
  if (check == nullptr) return false;
  items_.clear();
  for (const TiXmlElement* element = check->FirstChildElement("item"); element != nullptr;
       element = element->NextSiblingElement("item")) {
    std::unique_ptr<KCheckItem> item = LoadItem(*element, leaves);
    if (item != nullptr) items_.push_back(std::move(item));
  }
  return true;
}

}  // namespace kbase

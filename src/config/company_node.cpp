// The "install" section's company:
//
//   <company id="N" version="N">
//     <tryno id="N" version="N" Interval="days" condition="expr" softname="text">
//       <dlfile url=".." md5=".." moduletype=".." path=".." downloadtype=".." .../>+
//     </tryno>+
//   </company>
//
// Invalid nodes are dropped where they stand; the rest still loads.
#include "config/company_node.h"

#include <tinyxml.h>

#include "config/expression_number.h"

namespace kbase {
namespace {

std::string Text(const TiXmlElement& element, const char* name) {
  const char* value = element.Attribute(name);
  return value != nullptr ? value : "";
}

int32_t Number(const TiXmlElement& element, const char* name, int32_t absent = 0) {
  const char* value = element.Attribute(name);
  return value != nullptr ? ReadLeadingInt(value) : absent;
}

}  // namespace

std::unique_ptr<KDownloadEntry> DownloadEntryFromElement(const TiXmlElement& element) {
  auto entry = std::make_unique<KDownloadEntry>();
  entry->url = Text(element, "url");
  entry->md5 = Text(element, "md5");
  entry->moduletype = Text(element, "moduletype");
  entry->path = Text(element, "path");
  entry->param = Text(element, "param");
  entry->funcname = Text(element, "funcname");
  entry->initfuncname = Text(element, "initfuncname");
  // "uninitfuncname" is deliberately not taken over: no package is unloaded by name.
  entry->downloadtype = Text(element, "downloadtype");
  entry->waitexit = Number(element, "waitexit");
  entry->sd = Number(element, "sd");
  entry->ndp = Number(element, "ndp");
  entry->downloadtime = Number(element, "downloadtime");
  entry->condition = Text(element, "condition");
  entry->tovelpack = Number(element, "tovelpack", 1);
  entry->show = Number(element, "show");
  entry->showpop = Number(element, "showpop");
  entry->delaydownload = Number(element, "delaydownload");
  entry->istoveldownloadswitch = Number(element, "istoveldownloadswitch");
  return entry;
}

std::unique_ptr<KTrynoNode> KTrynoNode::FromElement(const TiXmlElement& element) {
  auto tryno = std::make_unique<KTrynoNode>();
  tryno->id = Number(element, "id");
  tryno->version = Number(element, "version");
  tryno->Interval = Number(element, "Interval");
  tryno->condition = Text(element, "condition");
  tryno->softname = Text(element, "softname");
  for (const TiXmlElement* file = element.FirstChildElement("dlfile"); file != nullptr;
       file = file->NextSiblingElement("dlfile")) {
    std::unique_ptr<KDownloadEntry> entry = DownloadEntryFromElement(*file);
    if (entry->IsValid()) tryno->entries.push_back(std::move(entry));
  }
  return tryno;
}

const KDownloadEntry* KTrynoNode::EntryAt(int index) const {
  if (index < 0 || static_cast<size_t>(index) >= entries.size()) return nullptr;
  return entries[index].get();
}

std::unique_ptr<KCompanyNode> KCompanyNode::FromElement(const TiXmlElement& element) {
  auto company = std::make_unique<KCompanyNode>();
  company->id = Number(element, "id");
  company->version = Number(element, "version");
  for (const TiXmlElement* child = element.FirstChildElement("tryno"); child != nullptr;
       child = child->NextSiblingElement("tryno")) {
    std::unique_ptr<KTrynoNode> tryno = KTrynoNode::FromElement(*child);
    if (!tryno->IsValid()) continue;
    const int32_t id = tryno->id;
    company->trynos.emplace(id, std::move(tryno));  // an existing id keeps its node
  }
  return company;
}

}  // namespace kbase

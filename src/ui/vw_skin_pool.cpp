#include "ui/vw_skin_pool.h"

#include <tinyxml.h>

#include <cstring>

#include "ui/image_skin.h"
#include "ui/png_skin.h"
#include "ui/skin_button.h"

namespace kbase {

VwSkinPool& VwSkinPool::Instance() {
  static VwSkinPool pool;
  return pool;
}

std::unique_ptr<CVwSkinBase> VwSkinPool::CreateByTag(const char* tag) {
  if (tag == nullptr) return nullptr;
  if (std::strcmp(tag, CVwImageSkin::kTag) == 0) return std::make_unique<CVwImageSkin>();
  if (std::strcmp(tag, CVwSkinImgFrame::kTag) == 0) return std::make_unique<CVwSkinImgFrame>();
  if (std::strcmp(tag, CVwSkinButton::kTag) == 0) return std::make_unique<CVwSkinButton>();
  if (std::strcmp(tag, CVwSkinImgHorzExtend::kTag) == 0) return std::make_unique<CVwSkinImgHorzExtend>();
  if (std::strcmp(tag, CVwSkinGradation::kTag) == 0) return std::make_unique<CVwSkinGradation>();
  if (std::strcmp(tag, CVwPngSkin::kTag) == 0) return std::make_unique<CVwPngSkin>();
  if (std::strcmp(tag, CVwJpgSkin::kTag) == 0) return std::make_unique<CVwJpgSkin>();
  if (std::strcmp(tag, CVwNormalPngSkin::kTag) == 0) return std::make_unique<CVwNormalPngSkin>();
  if (std::strcmp(tag, CVwNormalJPGSkin::kTag) == 0) return std::make_unique<CVwNormalJPGSkin>();
  return nullptr;
}

int VwSkinPool::LoadFromText(const std::string& xml) {
  TiXmlDocument document;
  document.Parse(xml.c_str(), nullptr, TIXML_ENCODING_UTF8);
  if (document.Error()) return 0;
  const TiXmlElement* root = document.RootElement();
  if (root == nullptr || std::strcmp(root->Value(), "skins") != 0) return 0;
  for (const TiXmlElement* item = root->FirstChildElement(); item != nullptr; item = item->NextSiblingElement()) {
    const char* name = item->Attribute("name");
    if (name == nullptr || skins_.count(name) != 0) continue;
    std::unique_ptr<CVwSkinBase> skin = CreateByTag(item->Value());
    if (skin == nullptr) continue;
    skin->Load(*item);
    skins_.emplace(name, std::move(skin));
  }
  return 1;
}

CVwSkinBase* VwSkinPool::Find(const std::string& name) {
  auto found = skins_.find(name);
  if (found == skins_.end()) return nullptr;
  found->second->EnsureLoaded();
  return found->second.get();
}

CVwSkinBase* VwSkinPool::Peek(const std::string& name) const {
  auto found = skins_.find(name);
  return found == skins_.end() ? nullptr : found->second.get();
}

}  // namespace kbase

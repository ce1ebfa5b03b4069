#include "ui/vw_dialog.h"

#include <tinyxml.h>

#include <cstring>

#include "ui/controls/vw_control_creator.h"
#include "ui/vw_element_tags.h"
#include "ui/vw_rich_text.h"
#include "ui/vw_static.h"
#include "ui/vw_style.h"

namespace kbase {

int FindBuiltInTag(const char* tag) {
  if (tag == nullptr) return -1;
  for (size_t i = 0; i < kVwBuiltInTagCount; ++i) {
    if (std::strcmp(tag, kVwBuiltInTags[i]) == 0) return static_cast<int>(i);
  }
  return -1;
}

std::unique_ptr<CVwWindow> CVwDialog::CreateChildByTag(const char* tag) {
  std::unique_ptr<CVwWindow> element;
  switch (FindBuiltInTag(tag)) {
    case 0: {  // "dlg"
      auto dialog = std::make_unique<CVwDialog>();
      dialog->set_control_creator(creator_);
      return dialog;
    }
    case 1:  // "text"
      return std::make_unique<CVwStatic>();
    case 18:  // "richtext"
      return std::make_unique<CVwRichText>();
    // The controls of the catalogue join here, one case per tag in kVwBuiltInTags order;
    // until a tag has its class it creates nothing and its subtree is skipped.
    default:
      if (auto control = CreateBuiltInControl(tag, creator_)) return control;
      break;
  }
  // The rich text extensions are known to every dialog, with or without a creator.
  if (tag != nullptr && std::strcmp(tag, CVwRichTextEx::kTag) == 0) return std::make_unique<CVwRichTextEx>();
  if (tag != nullptr && std::strcmp(tag, CVwRichText2Wnd::kTag) == 0) return std::make_unique<CVwRichText2Wnd>();
  if (FindBuiltInTag(tag) >= 0 || creator_ == nullptr) return nullptr;
  element = creator_->CreateByTag(tag);
  // Containers a creator makes receive the creator, so extension tags work at any depth.
  if (auto* dialog = dynamic_cast<CVwDialog*>(element.get())) dialog->set_control_creator(creator_);
  return element;
}

int CVwDialog::Load(const TiXmlElement& element) {
  CVwWindow::Load(element);
  LoadChildren(element.FirstChildElement());
  return 1;
}

int CVwDialog::SetAttribute(const char* name, const char* value, bool loading) {
  if (CVwPanel::SetAttribute(name, value, loading) != kVwAttributeUnknown) return kVwAttributeTaken;
  if (name != nullptr && value != nullptr && std::strcmp(name, "onlydrawchild") == 0) {
    only_draw_child_ = ParseDecimal(value);
    return kVwAttributeTaken;
  }
  return kVwAttributeUnknown;
}

uint32_t CVwDialog::HitTest(int x, int y, int flag) {
  if (!rect().Contains(x, y)) return 0;
  if (only_draw_child_ != 0) return handle();
  return CVwPanel::HitTest(x, y, flag);
}

int CVwDialog::ProcessMessage(unsigned message, uintptr_t wparam, intptr_t lparam, intptr_t* result) {
  const int handled = CVwPanel::ProcessMessage(message, wparam, lparam, result);
  if (message == kVwMsgPositionChanged) RepositionChildren();
  return handled;
}

CVwWindow* CVwDialog::FindChildById(int id) {
  for (auto& element : children_) {
    if (element->id() == id) return element.get();
  }
  for (auto& element : children_) {
    if (!element->IsContainer()) continue;
    if (auto* dialog = dynamic_cast<CVwDialog*>(element.get())) {
      if (CVwWindow* found = dialog->FindChildById(id)) return found;
    } else if (auto* container = dynamic_cast<CVwContainerWnd*>(element.get())) {
      // Containers that are not dialogs (a tab control) hold dialogs as their children.
      for (size_t i = 0; i < container->child_count(); ++i) {
        CVwWindow* inner = container->child(i);
        if (inner->id() == id) return inner;
        if (auto* page = dynamic_cast<CVwDialog*>(inner)) {
          if (CVwWindow* found = page->FindChildById(id)) return found;
        }
      }
    }
  }
  return nullptr;
}

void CVwDialog::RepositionChildren() {
  for (size_t i = 0; i < children_.size(); ++i) RepositionChild(children_[i].get());
}

void CVwDialog::RepositionChild(CVwWindow* element) {
  if (element == nullptr) return;
  const VwStyle& style = Style();
  const VwRect inner = rect().Deflated(style.x_margin, style.y_margin);
  const LayoutPlacement placement = PlaceInContainer(element->position(), inner);
  intptr_t result = 0;
  element->ProcessMessage(kVwMsgPositionChanged, 0, reinterpret_cast<intptr_t>(&placement), &result);
}

int CVwDialog::LoadChildren(const TiXmlElement* first) {
  DestroyChildren();
  for (const TiXmlElement* item = first; item != nullptr; item = item->NextSiblingElement()) {
    std::unique_ptr<CVwWindow> element = CreateChildByTag(item->Value());
    if (element == nullptr) continue;
    element->set_parent(handle());
    element->set_dpi(dpi());
    element->SetContainer(host());
    element->Load(*item);
    children_.push_back(std::move(element));
  }
  return 1;
}

std::unique_ptr<CVwWindow> CVwDialog::RemoveChild(CVwWindow* element, bool destroy) {
  for (auto it = children_.begin(); it != children_.end(); ++it) {
    if (it->get() != element) continue;
    std::unique_ptr<CVwWindow> taken = std::move(*it);
    children_.erase(it);
    if (destroy) {
      intptr_t result = 0;
      taken->ProcessMessage(kVwMsgDestroy, 0, 0, &result);
      return nullptr;
    }
    taken->set_parent(0);
    return taken;
  }
  return nullptr;
}

std::unique_ptr<CVwWindow> CVwDialog::RemoveChildById(int id, bool destroy) {
  for (auto& element : children_) {
    if (element->id() == id) return RemoveChild(element.get(), destroy);
  }
  return nullptr;
}

CVwWindow* CVwDialog::AppendChild(std::unique_ptr<CVwWindow> element) {
  if (element == nullptr) return nullptr;
  element->set_parent(handle());
  element->set_dpi(dpi());
  element->SetContainer(host());
  children_.push_back(std::move(element));
  return children_.back().get();
}

}  // namespace kbase

#pragma once
// The "dlg" container: builds its children from the layout by tag, places them inside
// its rectangle (deflated by its style's margins) and finds them by id.
#include <memory>

#include "ui/vw_panel.h"

namespace kbase {

// Creates elements for tags that CVwDialog does not know itself; null for an unknown tag.
class IVwControlCreator {
 public:
  virtual ~IVwControlCreator() = default;
  virtual std::unique_ptr<CVwWindow> CreateByTag(const char* tag) = 0;
};

class CVwDialog : public CVwPanel {
 public:
  static constexpr const char* kTag = "dlg";

  const char* GetObjectClass() const override { return kTag; }
  // The CVwWindow load, then the children from the first child element.
  int Load(const TiXmlElement& element) override;
  int SetAttribute(const char* name, const char* value, bool loading) override;
  uint32_t HitTest(int x, int y, int flag) override;
  int ProcessMessage(unsigned message, uintptr_t wparam, intptr_t lparam, intptr_t* result) override;

  // Direct children in list order first, then depth first through child containers.
  virtual CVwWindow* FindChildById(int id);
  virtual void RepositionChildren();
  virtual void RepositionChild(CVwWindow* child);
  // Destroys the current children, then creates and loads one child per element of the
  // sibling run that starts at `first`; tags nothing knows are skipped with their subtree.
  virtual int LoadChildren(const TiXmlElement* first);
  // Takes the child out of the list; destroyed with the flag, else handed to the caller.
  virtual std::unique_ptr<CVwWindow> RemoveChild(CVwWindow* child, bool destroy);
  virtual std::unique_ptr<CVwWindow> RemoveChildById(int id, bool destroy);

  // Appends an element built elsewhere as the last child.
  CVwWindow* AppendChild(std::unique_ptr<CVwWindow> child);
  // The creator used for unknown tags; it is inherited by child dialogs. Not owned.
  void set_control_creator(IVwControlCreator* creator) { creator_ = creator; }
  IVwControlCreator* control_creator() const { return creator_; }
  bool only_draw_child() const { return only_draw_child_ != 0; }
  void set_only_draw_child(bool value) { only_draw_child_ = value ? 1 : 0; }

  // The element for a tag: the built-in tags in their order, then the creator.
  std::unique_ptr<CVwWindow> CreateChildByTag(const char* tag);

 private:
  int only_draw_child_ = 0;
  IVwControlCreator* creator_ = nullptr;
};

}  // namespace kbase

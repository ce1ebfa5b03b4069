#pragma once
// An element that owns an ordered list of child elements (first child first): painting
// walks the list forwards, hit testing backwards, and host handle, container events and
// show/hide pass on to every child.
#include <memory>
#include <vector>

#include "ui/vw_window.h"

namespace kbase {

class CVwContainerWnd : public CVwWindow {
 public:
  void OnContainerEvent(int event, int param1, int param2) override;
  void SetContainer(VwHostWindow host) override;
  // Floating children first, then the others, each from last to first; hidden and
  // transparent children are skipped; the container itself when no child answers.
  uint32_t HitTest(int x, int y, int flag) override;
  int IsContainer() const override { return 1; }
  int RedrawRegion(IVwCanvas& canvas) override;
  int ProcessMessage(unsigned message, uintptr_t wparam, intptr_t lparam, intptr_t* result) override;

  size_t child_count() const { return children_.size(); }
  CVwWindow* child(size_t index) const { return index < children_.size() ? children_[index].get() : nullptr; }

 protected:
  // Frees every child.
  void DestroyChildren();
  std::vector<std::unique_ptr<CVwWindow>> children_;
};

}  // namespace kbase

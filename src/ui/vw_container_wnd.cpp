#include "ui/vw_container_wnd.h"

#include "ui/vw_canvas.h"

namespace kbase {

void CVwContainerWnd::OnContainerEvent(int event, int param1, int param2) {
  for (auto& child : children_) child->OnContainerEvent(event, param1, param2);
}

void CVwContainerWnd::SetContainer(VwHostWindow host) {
  CVwWindow::SetContainer(host);
  for (auto& child : children_) child->SetContainer(host);
}

uint32_t CVwContainerWnd::HitTest(int x, int y, int flag) {
  if (!rect().Contains(x, y)) return 0;
  for (int pass = 0; pass < 2; ++pass) {
    const bool want_floating = pass == 0;
    for (size_t i = children_.size(); i-- > 0;) {
      CVwWindow* element = children_[i].get();
      if (element->floating() != want_floating || element->hidden() || element->transparent()) continue;
      const uint32_t hit = element->HitTest(x, y, flag);
      if (hit != 0) return hit;
    }
  }
  return handle();
}

int CVwContainerWnd::RedrawRegion(IVwCanvas& canvas) {
  if (CVwWindow::RedrawRegion(canvas) == 0) return 0;
  canvas.SaveState();
  for (auto& child : children_) {
    if (!child->hidden()) child->RedrawRegion(canvas);
  }
  canvas.RestoreState();
  return 1;
}

int CVwContainerWnd::ProcessMessage(unsigned message, uintptr_t wparam, intptr_t lparam, intptr_t* result) {
  switch (message) {
    case kVwMsgDestroy:
      DestroyChildren();
      return 1;
    case kVwMsgShow:
      CVwWindow::ProcessMessage(message, wparam, lparam, result);
      for (auto& child : children_) child->ProcessMessage(kVwMsgShow, wparam, 1, result);
      return 1;
    default:
      return CVwWindow::ProcessMessage(message, wparam, lparam, result);
  }
}

void CVwContainerWnd::DestroyChildren() {
  // Children are told first, so that they can release what they hold outside the tree.
  intptr_t result = 0;
  for (auto& child : children_) child->ProcessMessage(kVwMsgDestroy, 0, 0, &result);
  children_.clear();
}

}  // namespace kbase

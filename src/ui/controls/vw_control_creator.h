#pragma once
// Element creation by tag for the control catalogue.
//   CreateBuiltInControl   the controls a "dlg" knows itself (those of kVwBuiltInTags
//                          that have a class here); null for any other tag.
//   CVwControlCreator      the extension tags every top-level view installs; a tag it
//                          does not know goes to the next creator, if any.
// Containers made here receive the creator, so extension tags work at every depth.
#include <cstddef>
#include <memory>

#include "ui/vw_dialog.h"

namespace kbase {

std::unique_ptr<CVwWindow> CreateBuiltInControl(const char* tag, IVwControlCreator* creator);

class CVwControlCreator : public IVwControlCreator {
 public:
  explicit CVwControlCreator(IVwControlCreator* next = nullptr) : next_(next) {}
  std::unique_ptr<CVwWindow> CreateByTag(const char* tag) override;

 private:
  IVwControlCreator* next_;
};

// The tags of CVwControlCreator, in the order they are tried.
constexpr const char* kVwCreatorTags[] = {
    "listwnd",   "listitem", "rundrect",      "rundrectpath", "expendimg", "realwndex",
    "shadowtext", "richtextex", "imgex2",     "hrex",         "listscrollbar", "dlgbtnEx2",
    "richtext2", "ownereventdlg", "lineviewex", "sliderviewex",
};
constexpr size_t kVwCreatorTagCount = sizeof(kVwCreatorTags) / sizeof(kVwCreatorTags[0]);

// Tags a host treats as clickable: a press on them in the header does not drag the
// window. The single-window host (CVwDialogViewEx) and the view-child host
// (CVwDialogView) have their own lists.
bool IsClickableTag(const char* tag, bool view_child_host);

}  // namespace kbase

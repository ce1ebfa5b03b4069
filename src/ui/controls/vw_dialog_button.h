#pragma once
// "dlgbtn" and "dlgbtnEx2": a container that acts as one button. Its children (usually a
// text) paint inside it, but every hit inside its rectangle is the button's own
// ("onlydrawchild" is forced on). "dlgbtn" draws its style's skin with the raw state bits
// as the frame index (unless "correctdrawbg"); "dlgbtnEx2" always with the ordered index
// 3 disabled, 2 pushed, 1 hovered, 0 normal.
#include "ui/vw_dialog.h"

namespace kbase {

class CVwDialogButton : public CVwDialog {
 public:
  static constexpr const char* kTag = "dlgbtn";
  const char* GetObjectClass() const override { return kTag; }
  int Load(const TiXmlElement& element) override;
};

class CVwDlgBtnEx2 : public CVwDialogButton {
 public:
  static constexpr const char* kTag = "dlgbtnEx2";
  const char* GetObjectClass() const override { return kTag; }
  void DrawBackground(IVwCanvas& canvas) override;
};

}  // namespace kbase

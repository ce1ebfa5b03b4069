#pragma once
// "tabctrl": a strip of tab headers and a frame that shows the page of the selected tab.
// Its children are "tab" pages (`CVwTab`, a dialog with "title" and "hide").
//   strip    headers "tabwidth" x "tabheight", "tabspacing" apart, along the top edge
//            ("tabpos" 0) or the bottom ("tabpos" 1), or stacked down the left edge
//            with "vertfont"; aligned by "tabalign" (left, center, right); hidden tabs
//            take no place.
//   frame    "framepos" (position syntax, against the control's rectangle), else the
//            rest of the rectangle beside the strip; "frameskin" is drawn over it and
//            every page is laid out in it; only the selected page is shown.
//   header   "tabskin" frame 2 selected, 1 hovered, 0 otherwise; "iconskin" frame = tab
//            index at ("icon-x", "icon-y"); the title at ("text-x", "text-y") with the
//            style "tabtext" ("Selfont" is the selected title's font); "splitterskin"
//            between neighbouring headers.
// A release on another tab's header asks the host with view notification 5 (which may
// refuse) before selecting it; presses and releases on a header report notification
// 10 with the tab index and the message.
#include <string>

#include "ui/layout_position.h"
#include "ui/vw_container_wnd.h"
#include "ui/vw_dialog.h"

namespace kbase {

class CVwTab : public CVwDialog {
 public:
  static constexpr const char* kTag = "tab";
  const char* GetObjectClass() const override { return kTag; }
  int SetAttribute(const char* name, const char* value, bool loading) override;
  const std::wstring& title() const { return title_; }
  bool tab_hidden() const { return hide_ != 0; }

 private:
  std::wstring title_;
  int hide_ = 0;
};

class CVwTabCtrl : public CVwContainerWnd {
 public:
  static constexpr const char* kTag = "tabctrl";

  const char* GetObjectClass() const override { return kTag; }
  int Load(const TiXmlElement& element) override;
  int SetAttribute(const char* name, const char* value, bool loading) override;
  bool NeedRedrawWhenStateChange() const override { return true; }
  uint32_t HitTest(int x, int y, int flag) override;
  int RedrawRegion(IVwCanvas& canvas) override;
  int ProcessMessage(unsigned message, uintptr_t wparam, intptr_t lparam, intptr_t* result) override;

  int current_selection() const { return cursel_; }
  size_t tab_count() const { return child_count(); }
  CVwTab* tab(size_t index) const;
  // Header rectangle of a tab; empty for a hidden tab.
  VwRect HeaderRect(size_t index) const;
  VwRect FrameRect() const;
  // The tab whose header holds the point, or -1.
  int HeaderAt(int x, int y) const;
  // Selects a tab (shows its page, hides the others); no notification.
  void Select(int index);
  // The control creator its pages hand to their children. Not owned.
  void set_control_creator(IVwControlCreator* creator) { creator_ = creator; }

 private:
  void LayoutPages();
  void PaintHeaders(IVwCanvas& canvas);
  int cursel_ = 0;
  int tab_width_ = 60;
  int tab_height_ = 24;
  int tab_pos_ = 0;
  int tab_spacing_ = 0;
  int vertical_ = 0;
  std::string tab_skin_;
  std::string frame_skin_;
  std::string icon_skin_;
  std::string splitter_skin_;
  LayoutPosition frame_pos_;
  int icon_x_ = 4;
  int icon_y_ = -1;
  int text_x_ = 0;
  int text_y_ = 0;
  std::string text_class_;
  uint16_t selected_font_ = 0;
  int align_ = kVwAlignLeft;
  int hovered_ = -1;
  IVwControlCreator* creator_ = nullptr;
};

}  // namespace kbase

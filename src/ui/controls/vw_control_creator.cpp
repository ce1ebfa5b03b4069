#include "ui/controls/vw_control_creator.h"

#include <cstring>

#include "ui/controls/vw_button.h"
#include "ui/controls/vw_check_box.h"
#include "ui/controls/vw_dialog_button.h"
#include "ui/controls/vw_icon_wnd.h"
#include "ui/controls/vw_image_ex.h"
#include "ui/controls/vw_image_wnd.h"
#include "ui/controls/vw_line.h"
#include "ui/controls/vw_list_wnd.h"
#include "ui/controls/vw_owner_event_dlg.h"
#include "ui/controls/vw_progress.h"
#include "ui/controls/vw_real_wnd.h"
#include "ui/controls/vw_round_rect.h"
#include "ui/controls/vw_shadow_text.h"
#include "ui/controls/vw_skin_btn.h"
#include "ui/controls/vw_slider.h"
#include "ui/controls/vw_storage_image.h"
#include "ui/controls/vw_tab_ctrl.h"

namespace kbase {
namespace {

using Factory = std::unique_ptr<CVwWindow> (*)();

template <typename T>
std::unique_ptr<CVwWindow> Make() {
  return std::make_unique<T>();
}

struct TagClass {
  const char* tag;
  Factory make;
};

// In the order a "dlg" tries them ("dlg", "text" and "richtext" are made elsewhere).
const TagClass kBuiltIn[] = {
    {"button", Make<CVwButton>},
    {"img", Make<CVwImageWnd>},
    {"imgbg", Make<CVwImageBg>},
    {"scrollimg", Make<CVwImageScroll>},
    {"progress", Make<CVwProgress>},
    {"progressex", Make<CVwProgressEx>},
    {"imgbtn", Make<CVwImageBtnWnd>},
    {"skinbtn", Make<CVwSkinBtnWnd>},
    {"realwnd", Make<CVwRealWnd>},
    {"realwnd2", Make<CVwRealWnd2>},
    {"hr", Make<CVwLine>},
    {"check", Make<CVwCheckBox>},
    {"icon", Make<CVwIconWnd>},
    {"tabctrl", Make<CVwTabCtrl>},
    {"radio", Make<CVwRadioBox>},
    {"customradio", Make<CVwSelfDefineRadioBox>},
    {"link", Make<CVwLink>},
    {"memimage", Make<CVwMemoryImage>},
    {"storageimage", Make<CVwStorageImage>},
    {"storageimageex", Make<CVwStorageImageEx>},
    {"imgbtnsized", Make<CVwImgbtnsized>},
    {"imggray", Make<CVwImgGray>},
    {"imgex", Make<CVwImageEx>},
    {"imgrotale", Make<CVwImageRotale>},
    {"slider", Make<VwSlider>},
    {"dlgbtn", Make<CVwDialogButton>},
    {"hicon", Make<CVwHIcon>},
};

// "richtextex" and "richtext2" belong to the rich text elements and are not made here.
const TagClass kExtension[] = {
    {"listwnd", Make<CVwListWnd>},
    {"listitem", Make<CVwListItem>},
    {"rundrect", Make<CVwRoundRect>},
    {"rundrectpath", Make<CVwRoundRectPath>},
    {"expendimg", Make<CVwExpendImg>},
    {"realwndex", Make<CVwRealWndEx>},
    {"shadowtext", Make<CVWShadowText>},
    {"imgex2", Make<CVwImageEx2>},
    {"hrex", Make<CVwLineEx>},
    {"listscrollbar", Make<CVwWindowScollBar>},
    {"dlgbtnEx2", Make<CVwDlgBtnEx2>},
    {"ownereventdlg", Make<CVwOwnerEventDlg>},
    {"lineviewex", Make<CVwLineViewEx>},
    {"sliderviewex", Make<CVwSliderViewEx>},
};

template <size_t N>
std::unique_ptr<CVwWindow> MakeFrom(const TagClass (&table)[N], const char* tag, IVwControlCreator* creator) {
  if (tag == nullptr) return nullptr;
  for (const TagClass& entry : table) {
    if (std::strcmp(entry.tag, tag) != 0) continue;
    std::unique_ptr<CVwWindow> element = entry.make();
    if (auto* dialog = dynamic_cast<CVwDialog*>(element.get())) dialog->set_control_creator(creator);
    if (auto* tabs = dynamic_cast<CVwTabCtrl*>(element.get())) tabs->set_control_creator(creator);
    return element;
  }
  return nullptr;
}

}  // namespace

std::unique_ptr<CVwWindow> CreateBuiltInControl(const char* tag, IVwControlCreator* creator) {
  return MakeFrom(kBuiltIn, tag, creator);
}

std::unique_ptr<CVwWindow> CVwControlCreator::CreateByTag(const char* tag) {
  if (std::unique_ptr<CVwWindow> element = MakeFrom(kExtension, tag, this)) return element;
  return next_ != nullptr ? next_->CreateByTag(tag) : nullptr;
}

bool IsClickableTag(const char* tag, bool view_child_host) {
  static const char* const kSingleWindow[] = {"button", "imgbtn",      "dlgbtn", "dlgbtnEx2", "tabctrl",
                                              "link",   "skinbtn",     "imgbtnsized", "check", "radio",
                                              "slider", "imgradio",    "listwnd"};
  static const char* const kViewChild[] = {"button",  "imgbtn",      "dlgbtn", "tabctrl", "link",
                                           "skinbtn", "imgbtnsized", "check",  "slider",  "richtext"};
  if (tag == nullptr) return false;
  if (view_child_host) {
    for (const char* t : kViewChild)
      if (std::strcmp(t, tag) == 0) return true;
    return false;
  }
  for (const char* t : kSingleWindow)
    if (std::strcmp(t, tag) == 0) return true;
  return false;
}

}  // namespace kbase

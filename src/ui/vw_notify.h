#pragma once
// View notification records: what a host window sends with WM_NOTIFY for mouse results
// and element requests. Every record starts with the NMHDR (sending window, id, code),
// then the element's id and the fields of its code.
#include <windows.h>

#include <cstdint>

namespace kbase {

enum VwNotifyCode : UINT {
  kVwNotifyClick = 1,            // VwNotifyElementTag
  kVwNotifyRealWndMoved = 2,     // VwNotifyRealWndMoved
  kVwNotifyMouseMove = 3,        // VwNotifyElement
  kVwNotifyMouseLeave = 4,       // VwNotifyElement (id 0 when none)
  kVwNotifyTabChanging = 5,      // VwNotifyVetoableChange
  kVwNotifyControlEvent = 6,     // VwNotifyControlEvent
  kVwNotifyLButtonDown = 7,      // VwNotifyElement
  kVwNotifyDoubleClick = 8,      // VwNotifyElementTag
  kVwNotifyRButtonDown = 9,      // VwNotifyElement
  kVwNotifyTabItemEvent = 10,    // VwNotifyTwoValues
  kVwNotifySliderChanging = 11,  // VwNotifyVetoableChange
  kVwNotifySliderChanging2 = 12, // VwNotifyVetoableChange
  kVwNotifyRButtonUp = 13,       // VwNotifyElement
  kVwNotifyRedraw = 1000,        // VwNotifyRedraw
};

// wParam and idFrom of a host that is its own view (CVwDialogViewEx), and the control id
// of a view child window (CVwDialogView).
constexpr INT_PTR kVwSelfViewId = -1;
constexpr int kVwViewControlId = 1000;

struct VwNotifyElement {
  NMHDR header;
  int id;
};

struct VwNotifyElementTag {
  NMHDR header;
  int id;
  const char* tag;  // the element's ASCII tag, e.g. "dlgbtnEx2"; "" for IDOK/IDCANCEL
};

struct VwNotifyRealWndMoved {
  NMHDR header;
  int id;
  RECT rect;
};

struct VwNotifyVetoableChange {
  NMHDR header;
  int id;
  int old_value;
  int new_value;
  int veto;  // the receiver sets it non-zero to refuse
};

struct VwNotifyControlEvent {
  NMHDR header;
  int id;
  const char* class_text;  // "wnd"
  int event;               // 3 move, 4 leave
};

struct VwNotifyTwoValues {
  NMHDR header;
  int id;
  int value1;
  int value2;
};

struct VwNotifyRedraw {
  NMHDR header;
  uint32_t element;
  RECT rect;
};

// Fills the header the way a host does: hwndFrom = host, idFrom = the host's view id.
void FillNotifyHeader(HWND host, UINT code, NMHDR* header);

}  // namespace kbase

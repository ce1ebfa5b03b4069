// What the catalogue's controls ask of Windows: skin and image sizes, the real child
// windows of "realwnd", the vetoable notifications of tabs and sliders, icon handles.
#include "ui/gdiplus_image.h"
#include "ui/vw_notify.h"
#include "ui/vw_skin_pool.h"
#include "ui/vw_win32_platform.h"

namespace kbase {
namespace {

HWND RealWindow(VwHostWindow host, int control_id) {
  HWND window = static_cast<HWND>(host);
  if (window == nullptr || !::IsWindow(window)) return nullptr;
  return ::GetDlgItem(window, control_id);
}

}  // namespace

VwSize VwWin32Platform::SkinSize(const std::string& skin) {
  CVwSkinBase* found = VwSkinPool::Instance().Find(skin);
  if (found == nullptr) return {};
  const SIZE size = found->GetSkinSize();
  return {static_cast<int>(size.cx), static_cast<int>(size.cy)};
}

bool VwWin32Platform::PlaceRealWindow(VwHostWindow host, int control_id, const VwRect& rect) {
  HWND real = RealWindow(host, control_id);
  if (real == nullptr) return false;
  ::SetWindowPos(real, nullptr, rect.left, rect.top, rect.width(), rect.height(),
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
  HWND window = static_cast<HWND>(host);
  VwNotifyRealWndMoved record{};
  FillNotifyHeader(window, kVwNotifyRealWndMoved, &record.header);
  record.id = control_id;
  record.rect = RECT{rect.left, rect.top, rect.right, rect.bottom};
  ::SendMessageW(window, WM_NOTIFY, record.header.idFrom, reinterpret_cast<LPARAM>(&record));
  if (::IsWindow(real) && ::IsWindowVisible(real)) {
    ::InvalidateRect(real, nullptr, TRUE);
    ::SetWindowPos(real, nullptr, 0, 0, 0, 0,
                   SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_SHOWWINDOW);
  }
  return true;
}

void VwWin32Platform::ShowRealWindow(VwHostWindow host, int control_id, bool show) {
  if (HWND real = RealWindow(host, control_id)) ::ShowWindow(real, show ? SW_SHOW : SW_HIDE);
}

void VwWin32Platform::PaintRealWindow(VwHostWindow host, int control_id) {
  if (HWND real = RealWindow(host, control_id)) ::SendMessageW(real, WM_PAINT, 0, 0);
}

bool VwWin32Platform::SendVetoableChange(VwHostWindow host, int code, int element_id, int old_value, int new_value) {
  HWND window = static_cast<HWND>(host);
  if (window == nullptr || !::IsWindow(window)) return false;
  VwNotifyVetoableChange record{};
  FillNotifyHeader(window, static_cast<UINT>(code), &record.header);
  record.id = element_id;
  record.old_value = old_value;
  record.new_value = new_value;
  ::SendMessageW(window, WM_NOTIFY, record.header.idFrom, reinterpret_cast<LPARAM>(&record));
  return record.veto != 0;
}

void VwWin32Platform::SendTwoValues(VwHostWindow host, int code, int element_id, int value1, int value2) {
  HWND window = static_cast<HWND>(host);
  if (window == nullptr || !::IsWindow(window)) return;
  VwNotifyTwoValues record{};
  FillNotifyHeader(window, static_cast<UINT>(code), &record.header);
  record.id = element_id;
  record.value1 = value1;
  record.value2 = value2;
  ::SendMessageW(window, WM_NOTIFY, record.header.idFrom, reinterpret_cast<LPARAM>(&record));
}

void VwWin32Platform::DestroyIconHandle(uintptr_t icon) {
  if (icon != 0) ::DestroyIcon(reinterpret_cast<HICON>(icon));
}

}  // namespace kbase

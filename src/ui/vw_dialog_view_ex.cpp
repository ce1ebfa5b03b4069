#include "ui/vw_dialog_view_ex.h"
#include "ui/window_class.h"

#include <dwmapi.h>
#include <windowsx.h>

#include <algorithm>
#include <optional>

#include "common/win/scoped_module.h"
#include "ui/gdi_owner.h"
#include "ui/vw_dpi_settings.h"
#include "ui/vw_notify.h"

namespace kbase {
namespace {

// Width of the sizing band along the client edge of a resizable window.
constexpr int kSizingBand = 4;
constexpr int kBlurCorner = 2;

}  // namespace

CVwDialogViewEx::CVwDialogViewEx(int layout_number)
    : CVwViewImpl(VwHostForm::kSingleWindow), layout_number_(layout_number) {}

CVwDialogViewEx::~CVwDialogViewEx() {
  if (hwnd_ != nullptr && ::IsWindow(hwnd_)) ::DestroyWindow(hwnd_);
  shadow_.Destroy();
}

HWND CVwDialogViewEx::Create(HWND owner) {
  if (!loaded_ && Load(layout_number_) == 0) return nullptr;
  if (hwnd_ != nullptr && ::IsWindow(hwnd_)) ::DestroyWindow(hwnd_);
  if (!RegisterWindowClassOnce(kClassName, WindowProc, CS_DBLCLKS)) return nullptr;
  HINSTANCE instance = ::GetModuleHandleW(nullptr);
  const int width = std::max(layer_.width, layer_.min_width);
  const int height = std::max(layer_.height, layer_.min_height);
  DWORD ex_style = GetExtendedStyle(layer_.ex_style);
  const DWORD style = GetStyle(layer_.style);
  if (blur_behind_ && VwCompositionEnabled()) ex_style &= ~WS_EX_LAYERED;
  HWND window = nullptr;
  {
    std::optional<VwDpiSettings::ThreadContextScope> dpi_context;
    if (layer_.dpi_aware) dpi_context.emplace(VwDpiSettings::Instance());
    window = ::CreateWindowExW(ex_style, kClassName, layer_.title.c_str(), style, 0, 0, width, height, owner,
                               nullptr, instance, this);
  }
  if (window == nullptr) return nullptr;
  CreateShadow();
  set_shadow(&shadow_);
  bring_to_front_ = true;
  ::SendMessageW(window, WM_INITDIALOG, 0, 0);
  if (!::IsWindow(window)) return nullptr;
  ShowPanels();
  ::SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  Layout();
  return window;
}

int CVwDialogViewEx::DoModal() { return RunModal(nullptr); }

bool CVwDialogViewEx::HandleDialogKey(WPARAM key) {
  if (hwnd_ == nullptr || !::IsWindowEnabled(hwnd_) || (::GetKeyState(VK_CONTROL) & 0x8000) != 0) return false;
  if (key == VK_ESCAPE) {
    ::SendMessageW(hwnd_, WM_COMMAND, IDCANCEL, 0);
    return true;
  }
  if (key == VK_RETURN) {
    ::SendMessageW(hwnd_, WM_COMMAND, IDOK, 0);
    return true;
  }
  return false;
}

void CVwDialogViewEx::AfterBringToFront() {
  if (hwnd_ != nullptr && (::GetWindowLongPtrW(hwnd_, GWL_EXSTYLE) & WS_EX_LAYERED) != 0)
    ::PostMessageW(hwnd_, WM_PAINT, 0, 0);
}

void CVwDialogViewEx::OnBlurRegion() {
  if (!blur_behind_ || hwnd_ == nullptr || !VwCompositionEnabled()) return;
  using Fn = HRESULT(WINAPI*)(HWND, const DWM_BLURBEHIND*);
  static ScopedModule dwm(::LoadLibraryW(L"dwmapi.dll"));
  static Fn enable = dwm.Function<Fn>("DwmEnableBlurBehindWindow");
  if (enable == nullptr) return;
  RECT client{};
  ::GetClientRect(hwnd_, &client);
  ScopedRegion region(::CreateRoundRectRgn(0, 0, client.right, client.bottom, kBlurCorner, kBlurCorner));
  DWM_BLURBEHIND blur{};
  blur.dwFlags = DWM_BB_ENABLE | DWM_BB_BLURREGION;
  blur.fEnable = TRUE;
  blur.hRgnBlur = region.get();
  enable(hwnd_, &blur);
}

LRESULT CVwDialogViewEx::OnNcHitTest(LPARAM lparam) {
  if (!layer_.resizable || layer_.child) {
    last_hit_code_ = HTCLIENT;
    return HTCLIENT;
  }
  POINT point{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
  ::ScreenToClient(hwnd_, &point);
  RECT client{};
  ::GetClientRect(hwnd_, &client);
  const int x = point.x, y = point.y, w = client.right, h = client.bottom, b = kSizingBand;
  int code = HTCLIENT;
  if (x < b && y < b) code = HTTOPLEFT;
  else if (x >= w - b && y < b) code = HTTOPRIGHT;
  else if (y < b) code = HTTOP;
  else if (x < b && y < h - b) code = HTLEFT;
  else if (x < b) code = HTBOTTOMLEFT;
  else if (y >= h - b && x < w - b) code = HTBOTTOM;
  else if (y >= h - b) code = HTBOTTOMRIGHT;
  else if (x >= w - b) code = HTRIGHT;
  last_hit_code_ = code;
  return code;
}

bool CVwDialogViewEx::OnNcCalcSize(WPARAM wparam, LPARAM lparam) {
  // The whole window is client area.
  if (wparam == 0 || lparam == 0) return true;
  auto* params = reinterpret_cast<NCCALCSIZE_PARAMS*>(lparam);
  const UINT flags = params->lppos != nullptr ? params->lppos->flags : 0;
  if (flags & SWP_NOSIZE) return true;
  RECT& rect = params->rgrc[0];
  int width = std::max<int>(rect.right - rect.left, layer_.min_width);
  int height = std::max<int>(rect.bottom - rect.top, layer_.min_height);
  if (layer_.hold_size && layer_.width != 0 && layer_.height != 0) {
    width = layer_.width;
    height = layer_.height;
  }
  rect.right = rect.left + width;
  rect.bottom = rect.top + height;
  return true;
}

void CVwDialogViewEx::OnGetMinMaxInfo(MINMAXINFO* info) {
  MONITORINFO monitor{sizeof(monitor)};
  if (!::GetMonitorInfoW(::MonitorFromWindow(hwnd_, MONITOR_DEFAULTTONEAREST), &monitor)) return;
  if (layer_.resizable) {
    info->ptMaxSize = {monitor.rcWork.right - monitor.rcWork.left, monitor.rcWork.bottom - monitor.rcWork.top};
    info->ptMaxPosition = {monitor.rcWork.left - monitor.rcMonitor.left, monitor.rcWork.top - monitor.rcMonitor.top};
  } else {
    info->ptMaxSize = {layer_.width, layer_.height};
    info->ptMaxPosition = {0, 0};
  }
  info->ptMinTrackSize = {layer_.width, layer_.height};
  info->ptMaxTrackSize = info->ptMaxSize;
}

LRESULT CALLBACK CVwDialogViewEx::WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* created = static_cast<CVwDialogViewEx*>(reinterpret_cast<const CREATESTRUCTW*>(lparam)->lpCreateParams);
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    if (created != nullptr) created->hwnd_ = window;
  }
  auto* self = reinterpret_cast<CVwDialogViewEx*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr || self->hwnd_ != window) return ::DefWindowProcW(window, message, wparam, lparam);
  if (message == WM_CREATE) self->AttachView(window);
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    self->DetachView();
    self->hwnd_ = nullptr;
    return ::DefWindowProcW(window, message, wparam, lparam);
  }
  return self->HandleMessage(message, wparam, lparam);
}

LRESULT CVwDialogViewEx::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  HWND window = hwnd_;
  LRESULT result = 0;
  if (ProcessWindowMessage(window, message, wparam, lparam, result)) return result;
  switch (message) {
    case WM_NCCALCSIZE:
      if (OnNcCalcSize(wparam, lparam)) return 0;
      break;
    case WM_NCHITTEST:
      return OnNcHitTest(lparam);
    case WM_GETMINMAXINFO:
      OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lparam));
      return 0;
    case WM_WINDOWPOSCHANGING: {
      auto* position = reinterpret_cast<WINDOWPOS*>(lparam);
      if (layer_.hold_size && position != nullptr && !(position->flags & SWP_NOSIZE)) {
        position->cx = layer_.width;
        position->cy = layer_.height;
      }
      break;
    }
    case WM_SIZE:
      if (wparam == SIZE_MAXIMIZED && !layer_.resizable) {
        ::SetWindowLongPtrW(window, GWL_STYLE, ::GetWindowLongPtrW(window, GWL_STYLE) & ~WS_MAXIMIZE);
        VwCenterWindow(window, true);
        return 0;
      }
      break;  // the view lays out below
    case WM_ENTERSIZEMOVE:
      if (layer_.resizable) {
        BOOL full = FALSE;
        ::SystemParametersInfoW(SPI_GETDRAGFULLWINDOWS, 0, &full, 0);
        if (full) {
          ::SystemParametersInfoW(SPI_SETDRAGFULLWINDOWS, FALSE, nullptr, 0);
          restore_drag_full_windows_ = true;
        }
      }
      break;
    case WM_EXITSIZEMOVE:
      if (restore_drag_full_windows_) {
        ::SystemParametersInfoW(SPI_SETDRAGFULLWINDOWS, TRUE, nullptr, 0);
        restore_drag_full_windows_ = false;
      }
      break;
    case WM_DWMCOMPOSITIONCHANGED:
      if (VwCompositionEnabled()) {
        OnBlurRegion();
      } else if (layer_.layered) {
        ::SetWindowLongPtrW(window, GWL_EXSTYLE, ::GetWindowLongPtrW(window, GWL_EXSTYLE) | WS_EX_LAYERED);
      }
      return 0;
    case WM_COMMAND:
      if (lparam == 0 && (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL)) {
        // As if an element with that id had been clicked.
        Notify(kVwNotifyClick, LOWORD(wparam), "");
        return 0;
      }
      break;
    case WM_KEYDOWN:
      if (HandleDialogKey(wparam)) return 0;
      break;
    case WM_DESTROY:
      shadow_.Destroy();
      break;
    default:
      break;
  }
  if (HandleTopLevelMessage(message, wparam, lparam, &result)) return result;
  if (HandleViewMessage(message, wparam, lparam, &result)) return result;
  return ::DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace kbase

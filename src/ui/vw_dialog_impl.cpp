#include "ui/vw_dialog_impl.h"
#include "ui/window_class.h"

#include <optional>

#include "ui/vw_dpi_settings.h"

namespace kbase {

CVwDialogImpl::CVwDialogImpl(int layout_number) : layout_number_(layout_number), view_(this) {}

CVwDialogImpl::~CVwDialogImpl() {
  view_.DestroyView();
  if (hwnd_ != nullptr && ::IsWindow(hwnd_)) ::DestroyWindow(hwnd_);
  shadow_.Destroy();
}

HWND CVwDialogImpl::Create(HWND owner) {
  if (!view_.loaded() && view_.Load(layout_number_) == 0) return nullptr;
  if (hwnd_ != nullptr && ::IsWindow(hwnd_)) ::DestroyWindow(hwnd_);
  if (!RegisterWindowClassOnce(kClassName, WindowProc)) return nullptr;
  HINSTANCE instance = ::GetModuleHandleW(nullptr);
  const VwLayerSettings& layer = view_.layer();
  const int width = layer.width > 0 ? layer.width : 0;
  const int height = layer.height > 0 ? layer.height : 0;
  HWND window = nullptr;
  {
    std::optional<VwDpiSettings::ThreadContextScope> dpi_context;
    if (layer.dpi_aware) dpi_context.emplace(VwDpiSettings::Instance());
    window = ::CreateWindowExW(layer.ex_style, kClassName, layer.title.c_str(), layer.style, 0, 0, width, height,
                               owner, nullptr, instance, this);
  }
  if (window == nullptr) return nullptr;
  CreateShadow();
  view_.set_shadow(&shadow_);
  if (view_.CreateView(window) == nullptr) {
    ::DestroyWindow(window);
    return nullptr;
  }
  bring_to_front_ = true;
  ::SendMessageW(window, WM_INITDIALOG, 0, 0);
  view_.ShowPanels();
  return window;
}

int CVwDialogImpl::DoModal(HWND owner) { return RunModal(owner); }

LRESULT CALLBACK CVwDialogImpl::WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* created = static_cast<CVwDialogImpl*>(reinterpret_cast<const CREATESTRUCTW*>(lparam)->lpCreateParams);
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    if (created != nullptr) created->hwnd_ = window;
  }
  auto* self = reinterpret_cast<CVwDialogImpl*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr || self->hwnd_ != window) return ::DefWindowProcW(window, message, wparam, lparam);
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    return ::DefWindowProcW(window, message, wparam, lparam);
  }
  return self->HandleMessage(message, wparam, lparam);
}

LRESULT CVwDialogImpl::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  HWND window = hwnd_;
  LRESULT result = 0;
  if (ProcessWindowMessage(window, message, wparam, lparam, result)) return result;
  if (HandleTopLevelMessage(message, wparam, lparam, &result)) return result;
  const VwLayerSettings& layer = view_.layer();
  switch (message) {
    case WM_SIZE:
      if (wparam == SIZE_MAXIMIZED && !layer.resizable) {
        // A fixed dialog is never maximized: back to its size, centred inside the screen.
        ::SetWindowLongPtrW(window, GWL_STYLE, ::GetWindowLongPtrW(window, GWL_STYLE) & ~WS_MAXIMIZE);
        ::SetWindowPos(window, nullptr, 0, 0, layer.width, layer.height,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        VwCenterWindow(window, true);
        return 0;
      }
      if (HWND view = view_.view_window())
        ::SetWindowPos(view, nullptr, 0, 0, LOWORD(lparam), HIWORD(lparam), SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_SETFOCUS:
      if (HWND view = view_.view_window()) ::SetFocus(view);
      return 0;
    case kVwMsgGetHostWindow:
      if (lparam != 0) *reinterpret_cast<HWND*>(lparam) = window;
      return 0;
    case kVwMsgSetToolTipText:
    case kVwMsgPartialRedraw:
      if (HWND view = view_.view_window()) return ::SendMessageW(view, message, wparam, lparam);
      return 0;
    case WM_DESTROY:
      view_.DestroyView();
      shadow_.Destroy();
      break;
    default:
      break;
  }
  return ::DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace kbase

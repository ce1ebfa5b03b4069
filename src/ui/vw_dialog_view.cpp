#include "ui/vw_dialog_view.h"
#include "ui/window_class.h"

#include "ui/controls/vw_control_creator.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <cstring>

#include "common/win/scoped_module.h"
#include "ui/controls/vw_control_creator.h"
#include "ui/element_registry.h"
#include "ui/gdiplus_image.h"
#include "ui/paint_lock.h"
#include "ui/shadow_wnd.h"
#include "ui/utf8_text.h"
#include "ui/vw_dialog_impl.h"
#include "ui/vw_font_pool.h"
#include "ui/vw_gdi_canvas.h"
#include "ui/vw_notify.h"
#include "ui/vw_resource_loader.h"
#include "ui/vw_skin_pool.h"
#include "ui/vw_win32_platform.h"

namespace kbase {
namespace {

constexpr int kMaxTipWidth = 5000;
// The border of a popup's view: black at alpha 110, corners cut by 3 pixels.
constexpr Gdiplus::ARGB kBorderColour = 0x6E000000;

CVwWindow* Element(uint32_t handle) { return handle != 0 ? ElementRegistry::Instance().Find(handle) : nullptr; }

int ElementId(uint32_t handle) {
  CVwWindow* element = Element(handle);
  return element != nullptr ? element->id() : 0;
}

RECT ToRect(const VwRect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

}  // namespace

bool VwCompositionEnabled() {
  using Fn = HRESULT(WINAPI*)(BOOL*);
  static ScopedModule dwm(::LoadLibraryW(L"dwmapi.dll"));
  static Fn query = dwm.Function<Fn>("DwmIsCompositionEnabled");
  BOOL enabled = FALSE;
  return query != nullptr && SUCCEEDED(query(&enabled)) && enabled;
}

// ---------------------------------------------------------------- loading and access

CVwViewImpl::CVwViewImpl(VwHostForm form) : form_(form) { VwWin32Platform::Install(); }

CVwViewImpl::~CVwViewImpl() { DetachView(); }

VwLayerPanels CVwViewImpl::Panels() { return VwLayerPanels{&header_, &body_, &footer_}; }

void CVwViewImpl::SetControlCreator(IVwControlCreator* creator) {
  creator_ = creator;
  header_.set_control_creator(creator);
  body_.set_control_creator(creator);
  footer_.set_control_creator(creator);
}

int CVwViewImpl::Load(int layout_number) {
  layout_number_ = layout_number;
  std::string xml;
  if (!VwResourceLoader::Instance().LoadResourceData(L"xml", layout_number, true, &xml)) return 0;
  return LoadFromText(xml);
}

int CVwViewImpl::LoadFromText(const std::string& xml) {
  if (LoadLayerDocument(xml, form_, Panels(), &layer_) == 0) return 0;
  loaded_ = true;
  if (view_ != nullptr) {
    for (CVwDialog* panel : {&header_, &body_, &footer_}) panel->SetContainer(view_);
    Layout();
    hovered_ = 0;
    pushed_ = 0;
  }
  return 1;
}

CVwWindow* CVwViewImpl::FindElement(int id) {
  if (layer_.header_present) {
    if (CVwWindow* found = header_.FindChildById(id)) return found;
  }
  if (layer_.body_present) {
    if (CVwWindow* found = body_.FindChildById(id)) return found;
  }
  if (layer_.footer_present) {
    if (CVwWindow* found = footer_.FindChildById(id)) return found;
  }
  return nullptr;
}

bool CVwViewImpl::SetElementText(int id, const std::wstring& text) {
  CVwWindow* element = FindElement(id);
  if (element == nullptr) return false;
  element->set_text(text);
  const VwRect old = element->rect();
  const bool sized_by_content =
      (element->position_flags() & (kVwWidthContent | kVwHeightContent)) != 0 && element->position().count != 4;
  if (sized_by_content) {
    // Natural size at the current corner; a fixed or filling side keeps its length.
    LayoutPlacement placement{old.left, old.top, old.width(), old.height()};
    intptr_t result = 0;
    element->ProcessMessage(kVwMsgPositionChanged, 0, reinterpret_cast<intptr_t>(&placement), &result);
  }
  if (element->IsVisibleInTree()) {
    InvalidateArea(ToRect(old));
    if (element->rect() != old) InvalidateArea(ToRect(element->rect()));
  }
  return true;
}

bool CVwViewImpl::SetElementAttribute(int id, const char* name, const char* utf8_value) {
  CVwWindow* element = FindElement(id);
  if (element == nullptr || name == nullptr || utf8_value == nullptr) return false;
  element->Invalidate();
  element->SetAttribute(name, utf8_value, false);
  element->Invalidate();
  return true;
}

bool CVwViewImpl::SetElementAttribute(int id, const char* name, const std::wstring& value) {
  return SetElementAttribute(id, name, Utf8FromWide(value).c_str());
}

bool CVwViewImpl::SetElementCheck(int id, bool checked) {
  CVwWindow* element = FindElement(id);
  if (element == nullptr) return false;
  const unsigned bit = kVwStateChecked;
  element->ModifyState(checked ? bit : 0u, checked ? 0u : bit);
  element->Invalidate();
  return true;
}

bool CVwViewImpl::ShowElement(int id, bool show) {
  CVwWindow* element = FindElement(id);
  if (element == nullptr) return false;
  // A hidden element asks for no redraws, so its area is invalidated on both sides.
  const bool was_visible = element->IsVisibleInTree();
  intptr_t result = 0;
  element->ProcessMessage(kVwMsgShow, show ? kVwShow : kVwHide, 0, &result);
  if (was_visible || element->IsVisibleInTree()) InvalidateArea(ToRect(element->rect()));
  return true;
}

bool CVwViewImpl::EnableElement(int id, bool enable) {
  CVwWindow* element = FindElement(id);
  if (element == nullptr) return false;
  const unsigned bit = kVwStateDisabled;
  element->ModifyState(enable ? 0u : bit, enable ? bit : 0u);
  element->Invalidate();
  return true;
}

// ---------------------------------------------------------------- window, layout, paint

void CVwViewImpl::AttachView(HWND view) {
  view_ = view;
  for (CVwDialog* panel : {&header_, &body_, &footer_}) panel->SetContainer(view);
  hovered_ = pushed_ = 0;
  capture_ = tracking_leave_ = false;
  first_show_done_ = false;
  full_redraw_ = dirty_ = true;

  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&controls);
  tool_tip_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, view, nullptr,
                                ::GetModuleHandleW(nullptr), nullptr);
  if (tool_tip_ != nullptr) {
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = view;
    tool.uId = reinterpret_cast<UINT_PTR>(view);
    tool.lpszText = const_cast<wchar_t*>(L"");
    ::SendMessageW(tool_tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    ::SendMessageW(tool_tip_, TTM_SETMAXTIPWIDTH, 0, kMaxTipWidth);
    ::SendMessageW(tool_tip_, TTM_ACTIVATE, TRUE, 0);
  }
}

void CVwViewImpl::DetachView() {
  if (tool_tip_ != nullptr && ::IsWindow(tool_tip_)) ::DestroyWindow(tool_tip_);
  tool_tip_ = nullptr;
  tip_text_.clear();
  view_ = nullptr;
  hovered_ = pushed_ = 0;
  capture_ = tracking_leave_ = false;
  buffer_.Reset();
  invalid_.Reset();
}

void CVwViewImpl::ShowPanels() {
  intptr_t result = 0;
  if (layer_.header_present) header_.ProcessMessage(kVwMsgShow, kVwShow, 0, &result);
  if (layer_.footer_present) footer_.ProcessMessage(kVwMsgShow, kVwShow, 0, &result);
  if (layer_.body_present) body_.ProcessMessage(kVwMsgShow, kVwShow, 0, &result);
}

void CVwViewImpl::Layout() {
  if (view_ == nullptr) return;
  RECT client{};
  ::GetClientRect(view_, &client);
  LayoutLayerPanels(layer_, Panels(), VwRect{client.left, client.top, client.right, client.bottom});
  full_redraw_ = true;
  dirty_ = true;
  ::InvalidateRect(view_, nullptr, FALSE);
}

HWND CVwViewImpl::TopLevel() const { return view_ != nullptr ? ::GetAncestor(view_, GA_ROOT) : nullptr; }

bool CVwViewImpl::HostIsChild() const {
  if (view_ == nullptr) return false;
  HWND host = form_ == VwHostForm::kSingleWindow ? view_ : ::GetParent(view_);
  return host != nullptr && (::GetWindowLongPtrW(host, GWL_STYLE) & WS_CHILD) != 0;
}

bool CVwViewImpl::PartialRedrawAllowed() const {
  if (view_ == nullptr || HostIsChild()) return false;
  const bool layered = (::GetWindowLongPtrW(view_, GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
  return layered || VwCompositionEnabled();
}

void CVwViewImpl::InvalidateArea(const RECT& rect) {
  if (rect.right <= rect.left || rect.bottom <= rect.top) return;
  ScopedRegion area(::CreateRectRgnIndirect(&rect));
  if (!area.valid()) return;
  if (!invalid_.valid()) {
    invalid_ = std::move(area);
  } else {
    ::CombineRgn(invalid_.get(), invalid_.get(), area.get(), RGN_OR);
  }
  dirty_ = true;
  if (view_ != nullptr) ::InvalidateRect(view_, &rect, FALSE);
}

void CVwViewImpl::RepaintAll() {
  full_redraw_ = true;
  dirty_ = true;
  Render();
}

void CVwViewImpl::Render() {
  if (view_ == nullptr) return;
  ScopedLock<CriticalSection> lock(VwPaintLock());
  RECT client{};
  ::GetClientRect(view_, &client);
  const int width = client.right;
  const int height = client.bottom;
  if (width <= 0 || height <= 0) return;
  if (!buffer_.valid() || buffer_.width() != width || buffer_.height() != height) {
    if (!buffer_.Create(width, height)) return;
    full_redraw_ = true;
  }
  const bool full = full_redraw_ || !invalid_.valid() || !PartialRedrawAllowed();
  HRGN region = full ? nullptr : invalid_.get();

  ScopedMemoryDc dc(nullptr);
  if (dc.get() == nullptr) return;
  ScopedSelectObject select(dc.get(), buffer_.handle());
  // Cleared to transparent black: GDI writes 0 into the alpha byte.
  if (full) {
    ::GdiFlush();
    std::memset(buffer_.bits(), 0, static_cast<size_t>(width) * height * 4);
  } else {
    ::FillRgn(dc.get(), region, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
  }
  ScopedSelectObject font(dc.get(), VwFontPool::Instance().Font(0, false));
  ::SetBkMode(dc.get(), TRANSPARENT);
  if (region != nullptr) ::SelectClipRgn(dc.get(), region);

  if (!layer_.frame.empty()) {
    if (CVwSkinBase* frame = VwSkinPool::Instance().Find(layer_.frame)) frame->Draw(dc.get(), client, 0);
  }
  VwGdiCanvas canvas(dc.get(), region);
  if (layer_.header_present && !header_.hidden()) header_.RedrawRegion(canvas);
  if (layer_.body_present && !body_.hidden()) body_.RedrawRegion(canvas);
  if (layer_.footer_present && !footer_.hidden()) footer_.RedrawRegion(canvas);
  OnPaintOver(dc.get());
  ::SelectClipRgn(dc.get(), nullptr);
  if (form_ == VwHostForm::kPopupWithView && draw_border_ && !HostIsChild()) DrawBorder(dc.get(), width, height);
  ::GdiFlush();

  invalid_.Reset();
  full_redraw_ = false;
  dirty_ = false;
}

void CVwViewImpl::DrawBorder(HDC, int width, int height) {
  if (!EnsureGdiplus() || width < 8 || height < 8) return;
  // Drawn on the buffer's own pixels so that the line keeps its alpha.
  ::GdiFlush();
  Gdiplus::GpBitmap* target = nullptr;
  if (gp::GdipCreateBitmapFromScan0(width, height, width * 4, PixelFormat32bppPARGB,
                                    reinterpret_cast<BYTE*>(buffer_.bits()), &target) != Gdiplus::Ok)
    return;
  ScopedGpImage target_owner(target);
  Gdiplus::GpGraphics* raw = nullptr;
  if (gp::GdipGetImageGraphicsContext(target, &raw) != Gdiplus::Ok) return;
  ScopedGpGraphics graphics(raw);
  Gdiplus::GpPen* pen = nullptr;
  if (gp::GdipCreatePen1(kBorderColour, 1.0f, Gdiplus::UnitPixel, &pen) != Gdiplus::Ok) return;
  const int w = width;
  const int h = height;
  const Gdiplus::Point points[] = {{3, 0},         {w - 4, 0},     {w - 1, 3}, {w - 1, h - 4}, {w - 4, h - 1},
                                   {3, h - 1},     {0, h - 4},     {0, 3},     {3, 0}};
  gp::GdipDrawLinesI(raw, pen, points, static_cast<INT>(std::size(points)));
  gp::GdipDeletePen(pen);
}

void CVwViewImpl::Present(HDC target) {
  if (!buffer_.valid() || view_ == nullptr) return;
  OnBeforePresent(buffer_);
  ScopedMemoryDc memory(nullptr);
  ScopedSelectObject select(memory.get(), buffer_.handle());
  if ((::GetWindowLongPtrW(view_, GWL_EXSTYLE) & WS_EX_LAYERED) != 0) {
    RECT window{};
    ::GetWindowRect(view_, &window);
    POINT position{window.left, window.top};
    SIZE size{buffer_.width(), buffer_.height()};
    POINT origin{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, alpha_, AC_SRC_ALPHA};
    ScopedScreenDc screen;
    ::UpdateLayeredWindow(view_, screen.get(), &position, &size, memory.get(), &origin, 0, &blend, ULW_ALPHA);
  } else if (target != nullptr) {
    ::BitBlt(target, 0, 0, buffer_.width(), buffer_.height(), memory.get(), 0, 0, SRCCOPY);
  }
  if (VwCompositionEnabled()) OnBlurRegion();
  if (view_shadow_ != nullptr) view_shadow_->Refresh();
}

// ---------------------------------------------------------------- mouse and keyboard

bool CVwViewImpl::IsClickable(const char* tag) const {
  return IsClickableTag(tag, /*view_child_host=*/form_ != VwHostForm::kSingleWindow);
}

uint32_t CVwViewImpl::HitTestPanels(int x, int y) {
  const struct {
    bool present;
    CVwDialog* panel;
  } kOrder[] = {{layer_.header_present, &header_}, {layer_.body_present, &body_}, {layer_.footer_present, &footer_}};
  for (const auto& entry : kOrder) {
    if (!entry.present || entry.panel->hidden()) continue;
    if (const uint32_t hit = entry.panel->HitTest(x, y, 0)) return hit;
  }
  return 0;
}

uint32_t CVwViewImpl::HitTestAtCursor() {
  POINT point{};
  if (!::GetCursorPos(&point) || !::ScreenToClient(view_, &point)) return 0;
  return HitTestPanels(point.x, point.y);
}

LRESULT CVwViewImpl::Notify(UINT code, int element_id, const char* tag) {
  if (view_ == nullptr) return 0;
  const bool single = form_ == VwHostForm::kSingleWindow;
  const UINT_PTR id = single ? static_cast<UINT_PTR>(kVwSelfViewId) : static_cast<UINT_PTR>(kVwViewControlId);
  VwNotifyElementTag record{};
  record.header.hwndFrom = view_;
  record.header.idFrom = id;
  record.header.code = code;
  record.id = element_id;
  record.tag = tag != nullptr ? tag : "";
  HWND target = single ? view_ : ::GetParent(view_);
  if (target == nullptr) return 0;
  return ::SendMessageW(target, WM_NOTIFY, id, reinterpret_cast<LPARAM>(&record));
}

void CVwViewImpl::RedrawIfNeeded(CVwWindow* element) {
  if (element != nullptr && element->NeedRedrawWhenStateChange()) element->Invalidate();
}

void CVwViewImpl::UpdateToolTip(const std::wstring& text) {
  tip_text_ = text;
  if (tool_tip_ == nullptr) return;
  TOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.hwnd = view_;
  tool.uId = reinterpret_cast<UINT_PTR>(view_);
  tool.lpszText = const_cast<wchar_t*>(tip_text_.c_str());
  ::SendMessageW(tool_tip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void CVwViewImpl::SetHover(uint32_t handle) {
  if (handle == hovered_) return;
  if (CVwWindow* old = Element(hovered_)) {
    old->ModifyState(0, kVwStateHover);
    intptr_t result = 0;
    old->ProcessMessage(kVwMsgMouseLeave, 0, 0, &result);
    RedrawIfNeeded(old);
    Notify(kVwNotifyMouseLeave, old->id());
  }
  hovered_ = handle;
  CVwWindow* now = Element(handle);
  if (now != nullptr) {
    now->ModifyState(kVwStateHover, 0);
    RedrawIfNeeded(now);
  }
  UpdateToolTip(now != nullptr ? now->GetToolTip() : std::wstring());
}

void CVwViewImpl::OnMouseMove(int x, int y, WPARAM wparam, LPARAM lparam) {
  const uint32_t hit = HitTestPanels(x, y);
  CVwWindow* element = Element(hit);
  if (element != nullptr) {
    VwPoint point{x, y};
    intptr_t result = 0;
    if (!element->IsDisabledInTree())
      element->ProcessMessage(kVwMsgMouseMove, 0, reinterpret_cast<intptr_t>(&point), &result);
    Notify(kVwNotifyMouseMove, element->id());
  }
  SetHover(hit);
  if (!tracking_leave_) {
    TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, view_, 0};
    tracking_leave_ = ::TrackMouseEvent(&track) != FALSE;
  }
  if (form_ == VwHostForm::kPopupWithView) {
    if (HWND parent = ::GetParent(view_)) ::PostMessageW(parent, WM_MOUSEMOVE, wparam, lparam);
  }
}

void CVwViewImpl::OnMouseLeave() {
  tracking_leave_ = false;
  const int hovered_id = ElementId(hovered_);
  if (CVwWindow* old = Element(hovered_)) {
    old->ModifyState(0, kVwStateHover);
    intptr_t result = 0;
    old->ProcessMessage(kVwMsgMouseLeave, 0, 0, &result);
    RedrawIfNeeded(old);
  }
  hovered_ = 0;
  if (CVwWindow* pressed = Element(pushed_)) {
    pressed->ModifyState(0, kVwStatePushed);
    RedrawIfNeeded(pressed);
  }
  Notify(kVwNotifyMouseLeave, hovered_id);
  UpdateToolTip(std::wstring());
  if (form_ == VwHostForm::kPopupWithView) {
    if (HWND parent = ::GetParent(view_)) ::PostMessageW(parent, WM_MOUSELEAVE, 0, 0);
  }
}

void CVwViewImpl::OnLButtonDown(int x, int y) {
  HWND top = TopLevel();
  if (layer_.resizable && last_hit_code_ >= HTLEFT && last_hit_code_ <= HTBOTTOMRIGHT) {
    POINT screen{x, y};
    ::ClientToScreen(view_, &screen);
    ::SendMessageW(top, WM_NCLBUTTONDOWN, last_hit_code_, MAKELPARAM(screen.x, screen.y));
    return;
  }
  if (layer_.header_present && !header_.hidden()) {
    CVwWindow* in_header = Element(header_.HitTest(x, y, 0));
    if (in_header != nullptr && !IsClickable(in_header->GetObjectClass()) &&
        in_header->AcceptsHeaderLButtonDown() == 0 && !HostIsChild()) {
      ::SetFocus(view_);
      if (top != nullptr && !::IsIconic(top) && layer_.movable)
        ::SendMessageW(top, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
      return;
    }
  }
  CVwWindow* element = Element(HitTestPanels(x, y));
  if (element == nullptr || element->IsDisabledInTree()) return;
  pushed_ = element->handle();
  ::SetCapture(view_);
  capture_ = true;
  element->ModifyState(kVwStatePushed, 0);
  RedrawIfNeeded(element);
  VwPoint point{x, y};
  intptr_t result = 0;
  element->ProcessMessage(kVwMsgLButtonDown, 0, reinterpret_cast<intptr_t>(&point), &result);
  Notify(kVwNotifyLButtonDown, element->id());
}

void CVwViewImpl::OnLButtonUp(int x, int y) {
  if (capture_) {
    capture_ = false;
    ::ReleaseCapture();
  }
  const uint32_t pushed = pushed_;
  pushed_ = 0;
  CVwWindow* element = Element(pushed);
  if (element == nullptr) return;
  const bool single = form_ == VwHostForm::kSingleWindow;
  const uint32_t under = single ? HitTestPanels(x, y) : hovered_;
  element->ModifyState(0, kVwStatePushed);
  RedrawIfNeeded(element);
  VwPoint point{x, y};
  intptr_t result = 0;
  element->ProcessMessage(kVwMsgLButtonUp, 0, reinterpret_cast<intptr_t>(&point), &result);
  if (under != pushed) {
    if (!single) return;
    element->ModifyState(0, kVwStateHover);
    element->ProcessMessage(kVwMsgMouseLeave, 0, 0, &result);
    RedrawIfNeeded(element);
    if (hovered_ == pushed) hovered_ = 0;
    Notify(kVwNotifyMouseLeave, element->id());
    return;
  }
  if (!element->href().empty()) {
    ::ShellExecuteW(nullptr, L"open", element->href().c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  } else if (element->id() != 0) {
    // The element may be gone when the dialog answers; copy what the record needs.
    const int id = element->id();
    Notify(kVwNotifyClick, id, element->GetObjectClass());
  }
}

void CVwViewImpl::OnDoubleClick(int x, int y) {
  if (layer_.header_present && !header_.hidden() && layer_.resizable) {
    CVwWindow* in_header = Element(header_.HitTest(x, y, 0));
    if (in_header != nullptr && !IsClickable(in_header->GetObjectClass())) {
      HWND top = TopLevel();
      ::SendMessageW(top, WM_SYSCOMMAND, ::IsZoomed(top) ? (SC_RESTORE | HTCAPTION) : (SC_MAXIMIZE | HTCAPTION), 0);
      return;
    }
  }
  if (CVwWindow* element = Element(HitTestPanels(x, y))) Notify(kVwNotifyDoubleClick, element->id(), element->GetObjectClass());
}

bool CVwViewImpl::OnSetCursor() {
  static const struct {
    int code;
    const wchar_t* cursor;
  } kSizing[] = {{HTLEFT, IDC_SIZEWE},      {HTRIGHT, IDC_SIZEWE},      {HTTOP, IDC_SIZENS},
                 {HTBOTTOM, IDC_SIZENS},    {HTTOPLEFT, IDC_SIZENWSE},  {HTBOTTOMRIGHT, IDC_SIZENWSE},
                 {HTTOPRIGHT, IDC_SIZENESW}, {HTBOTTOMLEFT, IDC_SIZENESW}};
  for (const auto& sizing : kSizing) {
    if (sizing.code == last_hit_code_) {
      ::SetCursor(::LoadCursorW(nullptr, sizing.cursor));
      return true;
    }
  }
  CVwWindow* element = Element(HitTestAtCursor());
  if (element == nullptr) {
    ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
    return true;
  }
  const char* tag = element->GetObjectClass();
  if (std::strcmp(tag, "realwnd") == 0 || std::strcmp(tag, "realwnd2") == 0) return false;
  element->SetCursor();
  return true;
}

bool CVwViewImpl::HandleViewMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) {
  *result = 0;
  const int x = GET_X_LPARAM(lparam);
  const int y = GET_Y_LPARAM(lparam);
  switch (message) {
    case WM_SIZE:
      if (buffer_.valid() && (buffer_.width() != LOWORD(lparam) || buffer_.height() != HIWORD(lparam)))
        buffer_.Reset();
      Layout();
      return true;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = ::BeginPaint(view_, &paint);
      if (dirty_ || !buffer_.valid()) Render();
      Present(dc);
      ::EndPaint(view_, &paint);
      return true;
    }
    case WM_PRINT:
    case WM_PRINTCLIENT: {
      if (dirty_ || !buffer_.valid()) Render();
      HDC target = reinterpret_cast<HDC>(wparam);
      if (target != nullptr && buffer_.valid()) {
        ScopedMemoryDc memory(nullptr);
        ScopedSelectObject select(memory.get(), buffer_.handle());
        ::BitBlt(target, 0, 0, buffer_.width(), buffer_.height(), memory.get(), 0, 0, SRCCOPY);
      }
      return true;
    }
    case WM_ERASEBKGND:
      *result = 1;
      return true;
    case WM_SHOWWINDOW:
      if (wparam != 0 && !first_show_done_ && (::GetWindowLongPtrW(view_, GWL_EXSTYLE) & WS_EX_LAYERED) != 0) {
        first_show_done_ = true;
        Render();
        Present(nullptr);
      }
      return false;
    case WM_NOTIFY: {
      const NMHDR* header = reinterpret_cast<const NMHDR*>(lparam);
      if (header == nullptr) return false;
      if (header->code == kVwNotifyRedraw && header->hwndFrom == view_) {
        const auto* record = reinterpret_cast<const VwNotifyRedraw*>(lparam);
        InvalidateArea(record->rect);
        return true;
      }
      if (form_ == VwHostForm::kPopupWithView && header->hwndFrom != view_) {
        if (HWND parent = ::GetParent(view_)) *result = ::SendMessageW(parent, WM_NOTIFY, wparam, lparam);
        return true;
      }
      return false;
    }
    case WM_MOUSEMOVE:
      OnMouseMove(x, y, wparam, lparam);
      return true;
    case WM_MOUSELEAVE:
      OnMouseLeave();
      return true;
    case WM_LBUTTONDOWN:
      OnLButtonDown(x, y);
      return true;
    case WM_LBUTTONUP:
      OnLButtonUp(x, y);
      return true;
    case WM_LBUTTONDBLCLK:
      OnDoubleClick(x, y);
      return true;
    case WM_RBUTTONDOWN:
      if (CVwWindow* element = Element(HitTestPanels(x, y))) Notify(kVwNotifyRButtonDown, element->id());
      return true;
    case WM_RBUTTONUP:
      if (form_ == VwHostForm::kSingleWindow) {
        if (CVwWindow* element = Element(HitTestPanels(x, y))) Notify(kVwNotifyRButtonUp, element->id());
      }
      return true;
    case WM_MOUSEWHEEL:
      if (CVwWindow* element = Element(hovered_)) {
        intptr_t unused = 0;
        element->ProcessMessage(kVwMsgMouseWheel, wparam, lparam, &unused);
      }
      return true;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lparam) != view_) capture_ = false;
      return false;
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(wparam) != view_) return false;
      if (OnSetCursor()) {
        *result = TRUE;
        return true;
      }
      return false;
    case WM_GETDLGCODE:
      *result = DLGC_WANTARROWS | DLGC_WANTALLKEYS | DLGC_WANTCHARS;
      return true;
    case WM_SETFOCUS:
      for (HWND child = ::GetWindow(view_, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        const LONG_PTR style = ::GetWindowLongPtrW(child, GWL_STYLE);
        if ((style & WS_TABSTOP) && (style & WS_VISIBLE) && !(style & WS_DISABLED)) {
          ::SetFocus(child);
          break;
        }
      }
      return true;
    case kVwMsgSetToolTipText:
      UpdateToolTip(lparam != 0 ? std::wstring(reinterpret_cast<const wchar_t*>(lparam)) : std::wstring());
      return true;
    case kVwMsgGetHostWindow:
      if (lparam != 0) *reinterpret_cast<HWND*>(lparam) = view_;
      return true;
    case kVwMsgPartialRedraw:
      *result = PartialRedrawAllowed() ? 1 : 0;
      return true;
    default:
      break;
  }
  if (form_ == VwHostForm::kPopupWithView &&
      (message == WM_COMMAND || message == WM_HSCROLL || message == WM_VSCROLL)) {
    if (HWND parent = ::GetParent(view_)) *result = ::SendMessageW(parent, message, wparam, lparam);
    return true;
  }
  return false;
}

// ---------------------------------------------------------------- the view child window

CVwDialogView::CVwDialogView(CVwDialogImpl* owner) : CVwViewImpl(VwHostForm::kPopupWithView), owner_(owner) {}

CVwDialogView::~CVwDialogView() { DestroyView(); }

HWND CVwDialogView::CreateView(HWND parent) {
  DestroyView();
  if (!RegisterWindowClassOnce(kClassName, WindowProc, CS_DBLCLKS)) return nullptr;
  HINSTANCE instance = ::GetModuleHandleW(nullptr);
  RECT client{};
  ::GetClientRect(parent, &client);
  return ::CreateWindowExW(0, kClassName, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0,
                           client.right, client.bottom, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(kVwViewControlId)), instance, this);
}

void CVwDialogView::DestroyView() {
  if (view_ != nullptr && ::IsWindow(view_)) ::DestroyWindow(view_);
  DetachView();
}

void CVwDialogView::OnPaintOver(HDC dc) {
  if (owner_ != nullptr) owner_->OnPaintOver(dc);
}

LRESULT CALLBACK CVwDialogView::WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<CVwDialogView*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr) return ::DefWindowProcW(window, message, wparam, lparam);
  if (message == WM_CREATE) self->AttachView(window);
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    self->DetachView();
    return ::DefWindowProcW(window, message, wparam, lparam);
  }
  if (self->view_ != window) return ::DefWindowProcW(window, message, wparam, lparam);
  return self->HandleMessage(message, wparam, lparam);
}

LRESULT CVwDialogView::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  LRESULT result = 0;
  if (HandleViewMessage(message, wparam, lparam, &result)) return result;
  return ::DefWindowProcW(view_, message, wparam, lparam);
}

}  // namespace kbase

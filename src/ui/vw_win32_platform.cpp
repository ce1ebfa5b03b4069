#include "ui/vw_win32_platform.h"

#include <cmath>

#include "ui/gdi_owner.h"
#include "ui/gdiplus_image.h"
#include "ui/vw_dpi_settings.h"
#include "ui/vw_font_pool.h"
#include "ui/vw_notify.h"
#include "ui/vw_skin_pool.h"

namespace kbase {

void FillNotifyHeader(HWND host, UINT code, NMHDR* header) {
  header->hwndFrom = host;
  const bool child = host != nullptr && (::GetWindowLongPtrW(host, GWL_STYLE) & WS_CHILD) != 0;
  header->idFrom = child ? static_cast<UINT_PTR>(::GetDlgCtrlID(host)) : static_cast<UINT_PTR>(kVwSelfViewId);
  header->code = code;
}

VwWin32Platform& VwWin32Platform::Instance() {
  static VwWin32Platform platform;
  return platform;
}

void VwWin32Platform::Install() { InstallVwPlatform(&Instance()); }

bool VwWin32Platform::DpiAware() { return VwDpiSettings::Instance().IsDpiAware(); }

double VwWin32Platform::DpiRatio() { return VwDpiSettings::Instance().DpiRatio(); }

VwSize VwWin32Platform::MeasureText(const std::wstring& text, const VwTextMeasure& how) {
  if (text.empty()) return {};
  ScopedScreenDc screen;
  ScopedMemoryDc dc(screen.get());
  if (dc.get() == nullptr) return {};
  HFONT font = VwFontPool::Instance().Font(how.font_id, how.dpi);
  ScopedSelectObject select(dc.get(), font);
  const bool word_break = (how.format & 0x10) != 0;
  if (how.gdiplus && EnsureGdiplus()) {
    Gdiplus::GpGraphics* raw = nullptr;
    if (gp::GdipCreateFromHDC(dc.get(), &raw) == Gdiplus::Ok) {
      ScopedGpGraphics graphics(raw);
      Gdiplus::GpFont* gp_font = nullptr;
      if (gp::GdipCreateFontFromDC(dc.get(), &gp_font) == Gdiplus::Ok) {
        Gdiplus::RectF layout(0, 0, word_break && how.width > 0 ? static_cast<Gdiplus::REAL>(how.width) : 32767.0f,
                              32767.0f);
        Gdiplus::RectF bounds;
        gp::GdipMeasureString(raw, text.c_str(), static_cast<INT>(text.size()), gp_font, &layout, nullptr, &bounds,
                              nullptr, nullptr);
        gp::GdipDeleteFont(gp_font);
        return {static_cast<int>(std::ceil(bounds.Width)), static_cast<int>(std::ceil(bounds.Height))};
      }
    }
  }
  RECT rect{0, 0, word_break && how.width > 0 ? how.width : 0, word_break ? 32767 : 0};
  ::DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &rect, (how.format & ~0xFu) | DT_CALCRECT);
  return {static_cast<int>(rect.right - rect.left), static_cast<int>(rect.bottom - rect.top)};
}

bool VwWin32Platform::SkinDependsOnState(const std::string& skin) {
  CVwSkinBase* found = VwSkinPool::Instance().Find(skin);
  return found != nullptr && !found->IgnoreState();
}

void VwWin32Platform::SetCursor(int system_cursor_id) {
  HCURSOR cursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(system_cursor_id));
  if (cursor != nullptr) ::SetCursor(cursor);
}

void VwWin32Platform::RequestRedraw(VwHostWindow host, uint32_t element, const VwRect& rect) {
  HWND window = static_cast<HWND>(host);
  if (window == nullptr || !::IsWindow(window)) return;
  VwNotifyRedraw record{};
  FillNotifyHeader(window, kVwNotifyRedraw, &record.header);
  record.element = element;
  record.rect = RECT{rect.left, rect.top, rect.right, rect.bottom};
  ::SendMessageW(window, WM_NOTIFY, record.header.idFrom, reinterpret_cast<LPARAM>(&record));
}

void VwWin32Platform::SendControlEvent(VwHostWindow host, int element_id, int event) {
  HWND window = static_cast<HWND>(host);
  if (window == nullptr || !::IsWindow(window)) return;
  VwNotifyControlEvent record{};
  FillNotifyHeader(window, kVwNotifyControlEvent, &record.header);
  record.id = element_id;
  record.class_text = "wnd";
  record.event = event;
  ::SendMessageW(window, WM_NOTIFY, record.header.idFrom, reinterpret_cast<LPARAM>(&record));
}

}  // namespace kbase

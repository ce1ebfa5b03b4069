#include "ui/vw_win32_platform.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

#include "ui/gdi_owner.h"
#include "ui/gdiplus_image.h"
#include "ui/rich_text_gdiplus.h"
#include "ui/vw_dpi_settings.h"
#include "ui/vw_font_pool.h"
#include "ui/vw_notify.h"
#include "ui/vw_skin_pool.h"
#include "ui/vw_text_layout.h"

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

namespace {

// GDI+ has no "how many characters fit": the prefix is searched with whole-line measures.
VwTextFit FitTextGdiplus(HDC dc, const wchar_t* text, size_t length, double max_width) {
  Gdiplus::GpGraphics* raw = nullptr;
  if (gp::GdipCreateFromHDC(dc, &raw) != Gdiplus::Ok) return {};
  ScopedGpGraphics graphics(raw);
  ScopedGpFont font = GpFontFromDc(dc);
  ScopedGpStringFormat format = RunStringFormat();
  if (font == nullptr || format == nullptr) return {};
  auto measure = [&](size_t count) { return MeasureRun(raw, text, count, font.get(), format.get()); };
  if (max_width < 0) {
    const Gdiplus::RectF box = measure(length);
    return {length, box.Width, box.Height};
  }
  size_t low = 0;
  size_t high = length;
  while (low < high) {
    const size_t middle = low + (high - low + 1) / 2;
    if (measure(middle).Width <= max_width) low = middle;
    else high = middle - 1;
  }
  if (low == 0) return {};
  const Gdiplus::RectF box = measure(low);
  return {low, box.Width, box.Height};
}

}  // namespace

HDC VwWin32Platform::MeasuringDc() {
  if (measuring_dc_ == nullptr || measuring_dc_->get() == nullptr) {
    ScopedScreenDc screen;
    measuring_dc_ = std::make_unique<ScopedMemoryDc>(screen.get());
  }
  return measuring_dc_->get();
}

VwTextFit VwWin32Platform::FitText(const std::wstring& text, size_t start, size_t length, uint16_t font_id, bool dpi,
                                   bool gdiplus, double max_width) {
  if (start >= text.size() || length == 0) return {};
  length = std::min({length, text.size() - start, static_cast<size_t>(INT_MAX)});
  HDC dc = MeasuringDc();
  if (dc == nullptr) return {};
  ScopedSelectObject select(dc, VwFontPool::Instance().Font(font_id, dpi));
  const wchar_t* piece = text.c_str() + start;
  if (gdiplus && EnsureGdiplus()) return FitTextGdiplus(dc, piece, length, max_width);
  SIZE size{};
  if (max_width < 0) {
    if (!::GetTextExtentPoint32W(dc, piece, static_cast<int>(length), &size)) return {};
    return {length, static_cast<double>(size.cx), static_cast<double>(size.cy)};
  }
  std::vector<INT> extents(length);
  INT fit = 0;
  const INT limit = static_cast<INT>(std::min<double>(std::floor(max_width), INT_MAX));
  if (!::GetTextExtentExPointW(dc, piece, static_cast<int>(length), limit, &fit, extents.data(), &size))
    return {};
  if (fit <= 0) return {};
  fit = std::min<INT>(fit, static_cast<INT>(length));
  return {static_cast<size_t>(fit), static_cast<double>(extents[fit - 1]), static_cast<double>(size.cy)};
}

bool VwWin32Platform::ImageFileSize(const std::wstring& path, double* width, double* height) {
  if (path.empty() || !EnsureGdiplus()) return false;
  ScopedGpImage image = DecodeImageFile(path);
  if (image == nullptr) return false;
  const SIZE size = ImageSize(image.get());
  *width = size.cx;
  *height = size.cy;
  return size.cx > 0 && size.cy > 0;
}

VwRect VwWin32Platform::AdjustYaheiRect(const VwRect& rect, uint32_t format, uint16_t font_id, bool dpi, bool autofix) {
  VwFontPool& fonts = VwFontPool::Instance();
  if (!fonts.IsYaheiFace()) return rect;
  return YaheiTextRect(rect, format, fonts.BaseHeightFor(dpi), fonts.LogFontFor(font_id, dpi).lfHeight, autofix);
}

void VwWin32Platform::SendClickToHostParent(VwHostWindow host, int element_id, const char* tag) {
  HWND window = static_cast<HWND>(host);
  if (window == nullptr || !::IsWindow(window)) return;
  HWND parent = ::GetParent(window);
  if (parent == nullptr) return;
  VwNotifyElementTag record{};
  record.header.hwndFrom = window;
  record.header.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(window));
  record.header.code = kVwNotifyClick;
  record.id = element_id;
  record.tag = tag != nullptr ? tag : "";
  ::SendMessageW(parent, WM_NOTIFY, record.header.idFrom, reinterpret_cast<LPARAM>(&record));
}

}  // namespace kbase

#include "ui/shadow_wnd.h"
#include "ui/window_class.h"

namespace kbase {
namespace {

constexpr wchar_t kShadowClass[] = L"VwShadowWndClass";

bool RegisterShadowClass() {
  return RegisterWindowClassOnce(kShadowClass, DefWindowProcW, CS_HREDRAW | CS_VREDRAW);
}

}  // namespace

int CShadowWnd::Create(HWND owner) {
  Destroy();
  if (!IsWindow(owner) || !RegisterShadowClass()) return 0;
  RECT bounds;
  GetWindowRect(owner, &bounds);
  InflateRect(&bounds, size_, size_);
  window_ = CreateWindowExW(WS_EX_LAYERED | WS_EX_TRANSPARENT, kShadowClass, L"", WS_POPUPWINDOW, bounds.left,
                            bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, owner, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
  if (window_ == nullptr) return 0;
  owner_ = owner;
  shown_ = false;
  return 1;
}

void CShadowWnd::Destroy() {
  if (window_ != nullptr && IsWindow(window_)) DestroyWindow(window_);
  window_ = nullptr;
  owner_ = nullptr;
  shown_ = false;
  buffer_.Reset();
}

void CShadowWnd::Refresh() {
  if (window_ == nullptr || !IsWindow(window_)) return;
  if (!enabled_ || !IsWindow(owner_) || !IsWindowVisible(owner_) || IsIconic(owner_)) {
    if (shown_) ShowWindow(window_, SW_HIDE);
    shown_ = false;
    return;
  }
  RECT bounds;
  GetWindowRect(owner_, &bounds);
  InflateRect(&bounds, size_, size_);
  const int width = bounds.right - bounds.left;
  const int height = bounds.bottom - bounds.top;
  if (buffer_.width() != width || buffer_.height() != height) {
    if (!buffer_.Create(width, height)) return;
  } else {
    buffer_.Clear();
  }
  {
    BitmapDc dc(buffer_.handle());
    Paint(dc.get(), width, height);
    POINT position{bounds.left, bounds.top};
    SIZE size{width, height};
    POINT origin{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    HDC screen = GetDC(nullptr);
    UpdateLayeredWindow(window_, screen, &position, &size, dc.get(), &origin, 0, &blend, ULW_ALPHA);
    ReleaseDC(nullptr, screen);
  }
  if (!shown_) ShowWindow(window_, SW_SHOWNA);
  shown_ = true;
}

void CShadowWnd::Paint(HDC dc, int width, int height) {
  if (hook_ != nullptr && hook_->PaintShadow(dc, width, height)) return;
  IVwSkinPainter* painter = painter_ != nullptr ? painter_ : DefaultSkinPainter();
  SIZE skin{};
  if (painter == nullptr || !painter->GetSkinImageSize(kShadowSkin, &skin)) return;
  // Corners of (skin width - 2) / 2 pixels; the middle of the picture makes the edges.
  const int c = (skin.cx - 2) / 2;
  const int s = size_;
  if (c <= 0 || s <= 0 || skin.cy < 2 * c || width < 2 * s || height < 2 * s) return;
  const int sw = skin.cx;
  const int sh = skin.cy;
  const struct {
    RECT destination;
    RECT source;
  } kParts[] = {
      {{0, 0, s, s}, {0, 0, c, c}},                                      // top left
      {{width - s, 0, width, s}, {sw - c, 0, sw, c}},                    // top right
      {{0, height - s, s, height}, {0, sh - c, c, sh}},                  // bottom left
      {{width - s, height - s, width, height}, {sw - c, sh - c, sw, sh}},  // bottom right
      {{s, 0, width - s, s}, {c, 0, sw - c, c}},                         // top
      {{s, height - s, width - s, height}, {c, sh - c, sw - c, sh}},     // bottom
      {{0, s, s, height - s}, {0, c, c, sh - c}},                        // left
      {{width - s, s, width, height - s}, {sw - c, c, sw, sh - c}},      // right
  };
  for (const auto& part : kParts) {
    if (part.destination.right > part.destination.left && part.destination.bottom > part.destination.top)
      painter->DrawSkinStretch(kShadowSkin, dc, part.destination, part.source);
  }
}

}  // namespace kbase

// The shadow window under Wine: its window, place and visibility beside the dialog, the
// order of hook and skin, the corner and edge cut of "dlg_shadow", and the shipped
// picture drawn through a painter backed by this program's own resources.
#include <gtest/gtest.h>
#include <windows.h>
#include <objidl.h>
#include <shlwapi.h>
#include <gdiplus.h>

#include <tinyxml.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "res/resource_ids.h"
#include "ui/vw_bitmap.h"
#include "ui/shadow_wnd.h"
#include "ui/vw_resource_loader.h"
#include "ui/vw_skin_pool.h"

namespace kbase {
namespace {

RECT Rect(int left, int top, int right, int bottom) { return RECT{left, top, right, bottom}; }

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Text(const RECT& r) {
  return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom) + ")";
}

class PopupWindow {
 public:
  PopupWindow(int x, int y, int width, int height) {
    window_ = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"dialog", WS_POPUP, x, y, width, height, nullptr,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
  }
  ~PopupWindow() { DestroyWindow(window_); }
  HWND get() const { return window_; }

 private:
  HWND window_;
};

// Remembers what it was asked to draw.
class RecordingPainter : public IVwSkinPainter {
 public:
  struct Call {
    std::string skin;
    RECT destination;
    RECT source;
  };
  explicit RecordingPainter(SIZE size) : size_(size) {}
  bool GetSkinImageSize(const char* skin, SIZE* size) override {
    *size = size_;
    return true;
  }
  void DrawSkinStretch(const char* skin, HDC, const RECT& destination, const RECT& source) override {
    calls.push_back({skin, destination, source});
  }
  std::vector<Call> calls;

 private:
  SIZE size_;
};

class FixedHook : public IShadowPaintHook {
 public:
  explicit FixedHook(bool paints) : paints_(paints) {}
  bool PaintShadow(HDC, int width, int height) override {
    ++calls;
    last_width = width;
    last_height = height;
    return paints_;
  }
  int calls = 0;
  int last_width = 0;
  int last_height = 0;

 private:
  bool paints_;
};

TEST(ShadowWnd, FollowsTheDialog) {
  PopupWindow dialog(200, 150, 300, 200);
  CShadowWnd shadow;
  ASSERT_EQ(shadow.Create(dialog.get()), 1);
  const HWND window = shadow.window();
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  EXPECT_STREQ(name, L"VwShadowWndClass");
  EXPECT_EQ(GetWindow(window, GW_OWNER), dialog.get());
  const LONG_PTR extended = GetWindowLongPtrW(window, GWL_EXSTYLE);
  EXPECT_EQ(extended & (WS_EX_LAYERED | WS_EX_TRANSPARENT), WS_EX_LAYERED | WS_EX_TRANSPARENT);
  EXPECT_EQ(GetWindowLongPtrW(window, GWL_STYLE) & WS_POPUPWINDOW, static_cast<LONG_PTR>(WS_POPUPWINDOW));
  EXPECT_FALSE(IsWindowVisible(window));

  // Hidden dialog: no shadow.
  shadow.Refresh();
  EXPECT_FALSE(IsWindowVisible(window));

  ShowWindow(dialog.get(), SW_SHOWNOACTIVATE);
  shadow.Refresh();
  EXPECT_TRUE(IsWindowVisible(window));
  RECT placed;
  GetWindowRect(window, &placed);
  EXPECT_TRUE(SameRect(placed, Rect(196, 146, 504, 354))) << Text(placed);

  SetWindowPos(dialog.get(), nullptr, 50, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  shadow.Refresh();
  GetWindowRect(window, &placed);
  EXPECT_TRUE(SameRect(placed, Rect(46, 56, 354, 264))) << Text(placed);

  ShowWindow(dialog.get(), SW_SHOWMINNOACTIVE);
  shadow.Refresh();
  EXPECT_FALSE(IsWindowVisible(window)) << "minimized";
  ShowWindow(dialog.get(), SW_SHOWNOACTIVATE);
  shadow.Refresh();
  EXPECT_TRUE(IsWindowVisible(window));

  shadow.SetEnabled(false);
  shadow.Refresh();
  EXPECT_FALSE(IsWindowVisible(window)) << "switched off";

  shadow.Destroy();
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(shadow.Create(nullptr), 0);
}

TEST(ShadowWnd, SkinCutIntoCornersAndEdgesAroundAnEmptyInside) {
  // A 10-pixel skin has corners of 4; the shadow band is 4 wide.
  RecordingPainter painter({10, 10});
  CShadowWnd shadow;
  shadow.SetSkinPainter(&painter);
  CVwBitmap buffer;
  ASSERT_TRUE(buffer.Create(100, 60));
  BitmapDc dc(buffer.handle());
  shadow.Paint(dc.get(), 100, 60);

  const struct {
    RECT destination;
    RECT source;
  } kParts[] = {
      {{0, 0, 4, 4}, {0, 0, 4, 4}},        {{96, 0, 100, 4}, {6, 0, 10, 4}},
      {{0, 56, 4, 60}, {0, 6, 4, 10}},     {{96, 56, 100, 60}, {6, 6, 10, 10}},
      {{4, 0, 96, 4}, {4, 0, 6, 4}},       {{4, 56, 96, 60}, {4, 6, 6, 10}},
      {{0, 4, 4, 56}, {0, 4, 4, 6}},       {{96, 4, 100, 56}, {6, 4, 10, 6}},
  };
  ASSERT_EQ(painter.calls.size(), std::size(kParts));
  const RECT inside = Rect(4, 4, 96, 56);
  for (size_t i = 0; i < std::size(kParts); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(painter.calls[i].skin, "dlg_shadow");
    EXPECT_TRUE(SameRect(painter.calls[i].destination, kParts[i].destination)) << Text(painter.calls[i].destination);
    EXPECT_TRUE(SameRect(painter.calls[i].source, kParts[i].source)) << Text(painter.calls[i].source);
    RECT overlap;
    EXPECT_FALSE(IntersectRect(&overlap, &painter.calls[i].destination, &inside));
  }
}

TEST(ShadowWnd, HookFirstThenSkinThenNothing) {
  RecordingPainter painter({10, 10});
  CVwBitmap buffer;
  ASSERT_TRUE(buffer.Create(40, 30));
  BitmapDc dc(buffer.handle());

  CShadowWnd shadow;
  shadow.SetSkinPainter(&painter);
  FixedHook paints(true);
  shadow.SetPaintHook(&paints);
  shadow.Paint(dc.get(), 40, 30);
  EXPECT_EQ(paints.calls, 1);
  EXPECT_EQ(paints.last_width, 40);
  EXPECT_EQ(paints.last_height, 30);
  EXPECT_TRUE(painter.calls.empty());

  FixedHook declines(false);
  shadow.SetPaintHook(&declines);
  shadow.Paint(dc.get(), 40, 30);
  EXPECT_EQ(declines.calls, 1);
  EXPECT_EQ(painter.calls.size(), 8u);

  // Neither hook nor own painter: the default draws from the skin pool, which holds no
  // "dlg_shadow" here, so the shadow stays transparent.
  CShadowWnd bare;
  ASSERT_EQ(DefaultSkinPainter(), &VwPoolSkinPainter::Instance());
  SIZE none{};
  ASSERT_FALSE(DefaultSkinPainter()->GetSkinImageSize("dlg_shadow", &none));
  bare.Paint(dc.get(), 40, 30);
  GdiFlush();
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) ASSERT_EQ(buffer.at(x, y), 0u) << x << "," << y;
}

// ---- the shipped picture, through a painter over this program's resources

class GdiplusSession {
 public:
  GdiplusSession() {
    Gdiplus::GdiplusStartupInput input;
    ok_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr) == Gdiplus::Ok;
  }
  ~GdiplusSession() {
    if (ok_) Gdiplus::GdiplusShutdown(token_);
  }
  bool ok() const { return ok_; }

 private:
  ULONG_PTR token_ = 0;
  bool ok_ = false;
};

bool ResourceBytes(const wchar_t* type, int number, std::string* bytes) {
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(number), type);
  HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
  const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (data == nullptr) return false;
  bytes->assign(static_cast<const char*>(data), SizeofResource(module, found));
  return true;
}

// Skins of the built-in table drawn from premultiplied copies of their pictures.
class ResourceSkinPainter : public IVwSkinPainter {
 public:
  bool GetSkinImageSize(const char* skin, SIZE* size) override {
    const CVwBitmap* picture = Picture(skin);
    if (picture == nullptr) return false;
    *size = {picture->width(), picture->height()};
    return true;
  }
  void DrawSkinStretch(const char* skin, HDC dc, const RECT& d, const RECT& s) override {
    const CVwBitmap* picture = Picture(skin);
    if (picture == nullptr) return;
    BitmapDc source(picture->handle());
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    AlphaBlend(dc, d.left, d.top, d.right - d.left, d.bottom - d.top, source.get(), s.left, s.top,
               s.right - s.left, s.bottom - s.top, blend);
  }

 private:
  const CVwBitmap* Picture(const std::string& skin) {
    auto cached = pictures_.find(skin);
    if (cached != pictures_.end()) return cached->second.get();
    std::unique_ptr<CVwBitmap>& slot = pictures_[skin];
    std::string text, png;
    TiXmlDocument document;
    if (!ResourceBytes(L"xml", IDR_SKIN_TABLE, &text)) return nullptr;
    document.Parse(text.c_str(), nullptr, TIXML_ENCODING_UTF8);
    const TiXmlElement* root = document.RootElement();
    for (const TiXmlElement* e = root ? root->FirstChildElement() : nullptr; e; e = e->NextSiblingElement()) {
      int number = 0;
      if (skin != (e->Attribute("name") ? e->Attribute("name") : "") || e->QueryIntAttribute("src", &number) != TIXML_SUCCESS)
        continue;
      if (!ResourceBytes(L"png", number, &png)) return nullptr;
      IStream* stream = SHCreateMemStream(reinterpret_cast<const BYTE*>(png.data()), static_cast<UINT>(png.size()));
      if (stream == nullptr) return nullptr;
      std::unique_ptr<Gdiplus::Bitmap> bitmap(Gdiplus::Bitmap::FromStream(stream));
      stream->Release();
      if (!bitmap || bitmap->GetLastStatus() != Gdiplus::Ok) return nullptr;
      auto dib = std::make_unique<CVwBitmap>();
      const int width = static_cast<int>(bitmap->GetWidth());
      const int height = static_cast<int>(bitmap->GetHeight());
      if (!dib->Create(width, height)) return nullptr;
      Gdiplus::Rect all(0, 0, width, height);
      Gdiplus::BitmapData data{};
      data.Width = width;
      data.Height = height;
      data.Stride = width * 4;
      data.PixelFormat = PixelFormat32bppPARGB;
      data.Scan0 = dib->bits();
      if (bitmap->LockBits(&all, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf,
                           PixelFormat32bppPARGB, &data) != Gdiplus::Ok)
        return nullptr;
      bitmap->UnlockBits(&data);
      slot = std::move(dib);
      return slot.get();
    }
    return nullptr;
  }

  std::map<std::string, std::unique_ptr<CVwBitmap>> pictures_;
};

TEST(ShadowWnd, ShippedPictureDarkensTowardsTheDialog) {
  GdiplusSession gdiplus;
  ASSERT_TRUE(gdiplus.ok());
  ResourceSkinPainter painter;
  SIZE size{};
  ASSERT_TRUE(painter.GetSkinImageSize("dlg_shadow", &size));

  PopupWindow dialog(300, 300, 120, 80);
  CShadowWnd shadow;
  shadow.SetSkinPainter(&painter);
  CVwBitmap buffer;
  ASSERT_TRUE(buffer.Create(128, 88));
  {
    BitmapDc dc(buffer.handle());
    shadow.Paint(dc.get(), 128, 88);
  }
  auto alpha = [&](int x, int y) { return static_cast<int>(buffer.at(x, y) >> 24); };
  // Empty over the dialog.
  for (int y = 4; y < 84; y += 7)
    for (int x = 4; x < 124; x += 7) ASSERT_EQ(buffer.at(x, y), 0u) << x << "," << y;
  // Along every edge the shadow is darkest next to the dialog and fades outwards.
  const struct {
    int outer_x, outer_y, inner_x, inner_y;
  } kEdges[] = {{64, 0, 64, 3}, {64, 87, 64, 84}, {0, 44, 3, 44}, {127, 44, 124, 44}};
  for (const auto& e : kEdges) {
    EXPECT_GT(alpha(e.inner_x, e.inner_y), 0) << e.inner_x << "," << e.inner_y;
    EXPECT_LT(alpha(e.outer_x, e.outer_y), alpha(e.inner_x, e.inner_y)) << e.outer_x << "," << e.outer_y;
  }
  // The corners fade towards their outer point.
  EXPECT_LT(alpha(0, 0), alpha(3, 3));

  // The same through a live shadow window.
  ShowWindow(dialog.get(), SW_SHOWNOACTIVATE);
  ASSERT_EQ(shadow.Create(dialog.get()), 1);
  shadow.Refresh();
  EXPECT_TRUE(shadow.shown());
}

// The default painter draws "dlg_shadow" from the skin pool loaded with the built-in
// table: the same picture the resource-backed painter above draws.
TEST(ShadowWnd, DefaultPainterDrawsFromTheSkinPool) {
  ASSERT_EQ(VwResourceLoader::Instance().LoadSkins(IDR_SKIN_TABLE), 1);
  GdiplusSession gdiplus;
  ResourceSkinPainter reference;
  CVwBitmap expected, drawn;
  ASSERT_TRUE(expected.Create(128, 88));
  ASSERT_TRUE(drawn.Create(128, 88));
  {
    CShadowWnd with_reference;
    with_reference.SetSkinPainter(&reference);
    BitmapDc dc(expected.handle());
    with_reference.Paint(dc.get(), 128, 88);
    CShadowWnd with_default;
    BitmapDc other(drawn.handle());
    with_default.Paint(other.get(), 128, 88);
  }
  int differing = 0;
  for (int y = 0; y < 88; ++y)
    for (int x = 0; x < 128; ++x) differing += expected.at(x, y) != drawn.at(x, y);
  EXPECT_EQ(differing, 0);
  EXPECT_NE(drawn.at(64, 3), 0u);
  VwSkinPool::Instance().Clear();
  VwResourceLoader::Instance().ClearImageCache();
}

}  // namespace
}  // namespace kbase

#include "ui/png_skin.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "ui/utf8_text.h"
#include "ui/vw_attribute_text.h"
#include "ui/vw_dpi_ratio.h"
#include "ui/vw_dpi_settings.h"

namespace kbase {
namespace {

// GDI+ InterpolationModeHighQuality.
constexpr int kHighQuality = 2;

bool Is(const char* a, const char* b) { return std::strcmp(a, b) == 0; }

int ScaleLength(int value, double factor) { return factor == 1.0 ? value : ScaleByRatio(value, factor); }

std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH * 2] = {};
  const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH * 2);
  std::wstring folder(path, length < MAX_PATH * 2 ? length : 0);
  const size_t slash = folder.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : folder.substr(0, slash);
}

// Draws a GDI+ image through a graphics object on the DC.
template <typename DrawCall>
void WithGraphics(HDC dc, DrawCall draw) {
  if (dc == nullptr || !EnsureGdiplus()) return;
  Gdiplus::GpGraphics* raw = nullptr;
  if (gp::GdipCreateFromHDC(dc, &raw) != Gdiplus::Ok) return;
  ScopedGpGraphics graphics(raw);
  gp::GdipSetInterpolationMode(raw, Gdiplus::InterpolationModeHighQuality);
  gp::GdipSetPixelOffsetMode(raw, Gdiplus::PixelOffsetModeHalf);
  draw(raw);
}

}  // namespace

bool CVwPngSkin::Accepts(const char* name) const {
  static const char* const kNames[] = {"src",        "subwidth",     "left",          "top",
                                       "margin_left", "margin_right", "margin_top",   "margin_bottom",
                                       "flip",       "fliptype",     "middle_tile",   "wantimgwidth"};
  for (const char* known : kNames) {
    if (Is(name, known)) return true;
  }
  return false;
}

int CVwPngSkin::SetAttribute(const char* name, const char* value, bool loading) {
  if (CVwSkinBase::SetAttribute(name, value, loading) != kVwAttributeUnknown) return kVwAttributeTaken;
  if (name == nullptr || value == nullptr || !Accepts(name)) return kVwAttributeUnknown;
  struct Field {
    const char* name;
    int CVwPngSkin::*field;
  };
  static const Field kFields[] = {
      {"src", &CVwPngSkin::src_},
      {"subwidth", &CVwPngSkin::subwidth_},
      {"left", &CVwPngSkin::left_},
      {"top", &CVwPngSkin::top_},
      {"margin_left", &CVwPngSkin::margin_left_},
      {"margin_right", &CVwPngSkin::margin_right_},
      {"margin_top", &CVwPngSkin::margin_top_},
      {"margin_bottom", &CVwPngSkin::margin_bottom_},
      {"flip", &CVwPngSkin::flip_},
      {"fliptype", &CVwPngSkin::fliptype_},
      {"middle_tile", &CVwPngSkin::middle_tile_},
      {"wantimgwidth", &CVwPngSkin::want_image_width_},
  };
  for (const Field& f : kFields) {
    if (Is(name, f.name)) {
      int number = ParseDecimal(value);
      // Lengths are never negative; the rotate-flip code has eight values.
      if (f.field == &CVwPngSkin::fliptype_) number &= 7;
      else if (number < 0) number = 0;
      this->*f.field = number;
      return kVwAttributeTaken;
    }
  }
  return kVwAttributeUnknown;
}

SharedGpImage CVwPngSkin::LoadBaseImage() { return VwPngPool::Instance().Image(src_); }

bool CVwPngSkin::EnsureLoaded() {
  if (attempted_) return loaded_;
  attempted_ = true;
  base_image_ = LoadBaseImage();
  if (base_image_ != nullptr && UsesDpiImages()) {
    double ratio = 1.0;
    dpi_image_ = VwPngPool::Instance().DpiImage(src_, &ratio);
    if (dpi_image_ != nullptr) dpi_ratio_ = ratio;
  }
  loaded_ = base_image_ != nullptr;
  return loaded_;
}

int CVwPngSkin::frame_count() const {
  if (subwidth_ <= 0 || base_image_ == nullptr) return 1;
  const SIZE size = ImageSize(base_image_.get());
  return std::max<int>(1, size.cx / subwidth_);
}

int CVwPngSkin::FrameIndex(int state) const {
  if (state == -1) return 0;
  const int count = frame_count();
  return ((state % count) + count) % count;
}

SIZE CVwPngSkin::GetSkinSize() {
  if (!loaded_) return SIZE{0, 0};
  const SIZE size = ImageSize(base_image_.get());
  return SIZE{subwidth_ > 0 ? subwidth_ : size.cx, size.cy};
}

const CVwBitmap* CVwPngSkin::PlainBitmap() {
  if (plain_.valid()) return &plain_;
  if (!loaded_) return nullptr;
  ScopedGpImage flipped;
  Gdiplus::GpImage* source = base_image_.get();
  if (RotateFlipCode() != 0) {
    flipped = RotateFlipCopy(source, RotateFlipCode());
    source = flipped.get();
  }
  const SIZE size = ImageSize(source);
  if (!plain_.FromImage(source, size.cx, size.cy, kHighQuality)) return nullptr;
  return &plain_;
}

const CVwBitmap* CVwPngSkin::BitmapAt(double k, double* factor) {
  *factor = 1.0;
  if (SameRatio(k, 1.0) || k <= 0.0) return PlainBitmap();
  const int key = static_cast<int>(std::lround(k * 1000));
  auto found = scaled_.find(key);
  if (found != scaled_.end()) {
    *factor = found->second.second;
    return found->second.first.get();
  }
  auto bitmap = std::make_unique<CVwBitmap>();
  double made_factor = k;
  // The DPI variant is drawn unscaled; its ratio scales the lengths.
  const bool use_variant = dpi_image_ != nullptr && SameRatio(dpi_ratio_, k);
  Gdiplus::GpImage* source = use_variant ? dpi_image_.get() : base_image_.get();
  if (use_variant) made_factor = dpi_ratio_;
  ScopedGpImage flipped;
  if (RotateFlipCode() != 0) {
    flipped = RotateFlipCopy(source, RotateFlipCode());
    source = flipped.get();
  }
  const SIZE size = ImageSize(source);
  if (use_variant) {
    if (!bitmap->FromImage(source, size.cx, size.cy, kHighQuality)) return nullptr;
  } else {
    // Each frame is scaled into its own slot, and the total width is a multiple of the
    // frame count, so that interpolation never mixes neighbouring frames.
    const int frames = frame_count();
    int width = ScaleByRatio(size.cx, k);
    const int height = ScaleByRatio(size.cy, k);
    if (width % frames != 0) width += frames - width % frames;
    if (!bitmap->Create(width, height)) return nullptr;
    const int source_frame = size.cx / frames;
    const int target_frame = width / frames;
    for (int i = 0; i < frames; ++i) {
      const RECT cut{i * source_frame, 0, (i + 1) * source_frame, size.cy};
      char key_text[96];
      std::snprintf(key_text, sizeof(key_text), "%lld_%d_%d_%d_%d",
                    static_cast<long long>(reinterpret_cast<intptr_t>(source)), static_cast<int>(cut.left),
                    static_cast<int>(cut.top), static_cast<int>(cut.right), static_cast<int>(cut.bottom));
      auto cached = cut_frames_.find(key_text);
      if (cached == cut_frames_.end()) {
        Gdiplus::GpBitmap* piece = nullptr;
        if (gp::GdipCloneBitmapAreaI(cut.left, cut.top, cut.right - cut.left, cut.bottom - cut.top,
                                     PixelFormat32bppARGB, static_cast<Gdiplus::GpBitmap*>(source),
                                     &piece) != Gdiplus::Ok)
          return nullptr;
        cached = cut_frames_.emplace(key_text, ScopedGpImage(piece)).first;
      }
      bitmap->DrawImage(cached->second.get(), RECT{i * target_frame, 0, (i + 1) * target_frame, height},
                        RECT{0, 0, cut.right - cut.left, cut.bottom - cut.top}, kHighQuality);
    }
  }
  *factor = made_factor;
  const CVwBitmap* result = bitmap.get();
  scaled_.emplace(key, std::make_pair(std::move(bitmap), made_factor));
  return result;
}

void CVwPngSkin::DrawNineParts(HDC dc, const CVwBitmap& bitmap, double factor, int index, const RECT& dst, int alpha,
                               bool middle_tile) {
  const int frames = frame_count();
  const int W = bitmap.width() / frames;
  const int H = bitmap.height();
  const int left = ScaleLength(left_, factor);
  const int ml = ScaleLength(margin_left_, factor);
  const int mr = ScaleLength(margin_right_, factor);
  const int mt = ScaleLength(margin_top_, factor);
  const int mb = ScaleLength(margin_bottom_, factor);
  const int x = index * W + left;
  const int y = ScaleLength(top_, factor);
  const int content_width = W - left - ml - mr;
  const LONG L = dst.left, T = dst.top, R = dst.right, B = dst.bottom;
  auto blend = [&](LONG dl, LONG dt, LONG dr, LONG db, int sl, int st, int sr, int sb) {
    bitmap.AlphaBlendTo(dc, RECT{dl, dt, dr, db}, RECT{sl, st, sr, sb}, alpha);
  };
  if (ml > 0) {
    if (mt > 0) blend(L, T, L + ml, T + mt, x, y, x + ml, y + mt);
    if (mb > 0) blend(L, B - mb, L + ml, B, x, H - mb, x + ml, H);
    blend(L, T + mt, L + ml, B - mb, x, y + mt, x + ml, H - mb);
  }
  if (mr > 0) {
    const int xr = (index + 1) * W - mr;
    if (mt > 0) blend(R - mr, T, R, T + mt, xr, y, xr + mr, y + mt);
    if (mb > 0) blend(R - mr, B - mb, R, B, xr, H - mb, xr + mr, H);
    blend(R - mr, T + mt, R, B - mb, xr, y + mt, xr + mr, H - mb);
  }
  const int sx = x + ml;
  if (mt > 0) blend(L + ml, T, R - mr, T + mt, sx, y, sx + content_width, y + mt);
  if (mb > 0) blend(L + ml, B - mb, R - mr, B, sx, H - mb, sx + content_width, H);
  if (middle_tile && (ml > 0 || mr > 0) && mt == 0 && mb == 0 && content_width > 0) {
    // The middle repeats at its natural width; the last copy is cut.
    for (LONG at = L + ml; at < R - mr; at += content_width) {
      const LONG piece = std::min<LONG>(content_width, R - mr - at);
      blend(at, T, at + piece, B, sx, y, sx + piece, H);
    }
    return;
  }
  blend(L + ml, T + mt, R - mr, B - mb, sx, y + mt, sx + content_width, H - mb);
}

void CVwPngSkin::DrawState(HDC dc, int left, int top, int right, int bottom, int state, bool dpi, int alpha) {
  if (!EnsureLoaded()) return;
  VwDpiSettings& settings = VwDpiSettings::Instance();
  const double k = (dpi && settings.IsDpiAware()) ? settings.DpiRatio() : 1.0;
  double factor = 1.0;
  const CVwBitmap* bitmap = BitmapAt(k, &factor);
  if (bitmap == nullptr) return;
  DrawNineParts(dc, *bitmap, factor, FrameIndex(state), RECT{left, top, right, bottom},
                std::clamp(alpha, 0, 255) * extra_alpha_ / 255, false);
}

void CVwPngSkin::Draw(HDC dc, const RECT& rect, int state) {
  if (!EnsureLoaded()) return;
  const CVwBitmap* bitmap = PlainBitmap();
  if (bitmap == nullptr) return;
  const int index = FrameIndex(state);
  if (subwidth_ > 0) {
    const int W = bitmap->width() / frame_count();
    const int x = index * W + left_;
    const int width = W - left_;
    const int height = bitmap->height() - top_;
    bitmap->AlphaBlendTo(dc, RECT{rect.left, rect.top, rect.left + width, rect.top + height},
                         RECT{x, top_, x + width, top_ + height}, extra_alpha_);
    return;
  }
  DrawNineParts(dc, *bitmap, 1.0, index, rect, extra_alpha_, middle_tile_ != 0);
}

void CVwPngSkin::DrawScaled(HDC dc, int left, int top, int right, int bottom, int state, int mode) {
  if (!EnsureLoaded()) return;
  const SIZE size = ImageSize(base_image_.get());
  double factor = 1.0;
  const double k = want_image_width_ > 0 && size.cx > 0 ? static_cast<double>(want_image_width_) / size.cx : 1.0;
  const CVwBitmap* bitmap = BitmapAt(k, &factor);
  if (bitmap == nullptr) return;
  const int index = FrameIndex(state);
  if (mode == 1) {
    DrawNineParts(dc, *bitmap, factor, index, RECT{left, top, right, bottom}, extra_alpha_, middle_tile_ != 0);
    return;
  }
  const int W = bitmap->width() / frame_count();
  const int x = index * W + ScaleLength(left_, factor);
  const int y = ScaleLength(top_, factor);
  const int width = W - ScaleLength(left_, factor);
  const int height = bitmap->height() - y;
  bitmap->AlphaBlendTo(dc, RECT{left, top, left + width, top + height}, RECT{x, y, x + width, y + height},
                       extra_alpha_);
}

void CVwPngSkin::DrawFrame(HDC dc, const RECT& dst, const RECT& src, int state) {
  DrawFrameAlpha(dc, dst, src, state, 255);
}

void CVwPngSkin::DrawFrameAlpha(HDC dc, const RECT& dst, const RECT& src, int state, int alpha) {
  if (!EnsureLoaded()) return;
  const SIZE size = ImageSize(base_image_.get());
  double factor = 1.0;
  const double k = want_image_width_ > 0 && size.cx > 0 ? static_cast<double>(want_image_width_) / size.cx : 1.0;
  const CVwBitmap* bitmap = BitmapAt(k, &factor);
  if (bitmap == nullptr) return;
  const int origin = FrameIndex(state) * (bitmap->width() / frame_count());
  bitmap->AlphaBlendTo(dc, dst, RECT{src.left + origin, src.top, src.right + origin, src.bottom},
                       std::clamp(alpha, 0, 255) * extra_alpha_ / 255);
}

void CVwPngSkin::DrawRect(HDC dc, const RECT& dst, const RECT& src) {
  if (!EnsureLoaded()) return;
  Gdiplus::GpImage* image = base_image_.get();
  WithGraphics(dc, [&](Gdiplus::GpGraphics* graphics) {
    gp::GdipDrawImageRectRectI(graphics, image, dst.left, dst.top, dst.right - dst.left, dst.bottom - dst.top,
                               src.left, src.top, src.right - src.left, src.bottom - src.top, Gdiplus::UnitPixel,
                               nullptr, nullptr, nullptr);
  });
}

void CVwPngSkin::DrawPoints(HDC dc, const POINT points[3], const RECT& src) {
  if (!EnsureLoaded() || points == nullptr) return;
  Gdiplus::GpImage* image = base_image_.get();
  WithGraphics(dc, [&](Gdiplus::GpGraphics* graphics) {
    Gdiplus::Point corners[3] = {{static_cast<INT>(points[0].x), static_cast<INT>(points[0].y)},
                                 {static_cast<INT>(points[1].x), static_cast<INT>(points[1].y)},
                                 {static_cast<INT>(points[2].x), static_cast<INT>(points[2].y)}};
    gp::GdipDrawImagePointsRectI(graphics, image, corners, 3, src.left, src.top, src.right - src.left,
                                 src.bottom - src.top, Gdiplus::UnitPixel, nullptr, nullptr, nullptr);
  });
}

void CVwPngSkin::DrawAlpha(HDC dc, const RECT& dst, const RECT& src, int alpha) {
  if (!EnsureLoaded()) return;
  if (const CVwBitmap* bitmap = PlainBitmap()) bitmap->AlphaBlendTo(dc, dst, src, std::clamp(alpha, 0, 255));
}

void CVwPngSkin::DrawStretch(HDC dc, const RECT& dst, const RECT& src) {
  if (!EnsureLoaded()) return;
  if (const CVwBitmap* bitmap = PlainBitmap()) bitmap->AlphaBlendTo(dc, dst, src, extra_alpha_);
}

void CVwPngSkin::DrawTile(HDC dc, const RECT& rect) {
  if (!EnsureLoaded()) return;
  const CVwBitmap* bitmap = PlainBitmap();
  if (bitmap == nullptr) return;
  const int w = bitmap->width(), h = bitmap->height();
  for (LONG y = rect.top; y + h <= rect.bottom; y += h) {
    for (LONG x = rect.left; x + w <= rect.right; x += w)
      bitmap->AlphaBlendTo(dc, RECT{x, y, x + w, y + h}, RECT{0, 0, w, h}, extra_alpha_);
  }
}

void CVwPngSkin::DrawGray(HDC dc, const RECT& dst, const RECT& src) {
  if (!EnsureLoaded()) return;
  const CVwBitmap* bitmap = PlainBitmap();
  if (bitmap == nullptr) return;
  if (!gray_.valid() && !gray_.MakeGrayFrom(*bitmap)) return;
  gray_.AlphaBlendTo(dc, dst, src, extra_alpha_);
}

void CVwPngSkin::DrawFlipped(HDC dc, const RECT& rect) {
  if (!EnsureLoaded()) return;
  Gdiplus::GpImage* image = base_image_.get();
  const SIZE size = ImageSize(image);
  WithGraphics(dc, [&](Gdiplus::GpGraphics* graphics) {
    // Left-top, right-top and left-bottom corners of a mirrored destination.
    Gdiplus::Point corners[3] = {{static_cast<INT>(rect.right), static_cast<INT>(rect.top)},
                                 {static_cast<INT>(rect.left), static_cast<INT>(rect.top)},
                                 {static_cast<INT>(rect.right), static_cast<INT>(rect.bottom)}};
    gp::GdipDrawImagePointsRectI(graphics, image, corners, 3, 0, 0, size.cx, size.cy, Gdiplus::UnitPixel, nullptr,
                                 nullptr, nullptr);
  });
}

SharedGpImage CVwJpgSkin::LoadBaseImage() { return VwJpgPool::Instance().Image(src_number()); }

bool CVwJpgSkin::Accepts(const char* name) const {
  return Is(name, "src") || Is(name, "subwidth") || Is(name, "left") || Is(name, "top") || Is(name, "margin_left") ||
         Is(name, "margin_right");
}

bool CVwNormalPngSkin::Accepts(const char* name) const {
  static const char* const kNames[] = {"src",        "subwidth",     "left",       "top",
                                       "margin_left", "margin_right", "margin_top", "margin_bottom",
                                       "flip",       "middle_tile"};
  for (const char* known : kNames) {
    if (Is(name, known)) return true;
  }
  return false;
}

int CVwNormalPngSkin::SetAttribute(const char* name, const char* value, bool loading) {
  if (CVwPngSkin::SetAttribute(name, value, loading) != kVwAttributeUnknown) return kVwAttributeTaken;
  if (name == nullptr || value == nullptr) return kVwAttributeUnknown;
  if (Is(name, "file")) {
    file_ = WideFromUtf8(value);
    return kVwAttributeTaken;
  }
  if (Is(name, "alpha")) {
    extra_alpha_ = std::clamp(ParseDecimal(value), 0, 255);
    return kVwAttributeTaken;
  }
  if (Is(name, "extern_alpha_key")) {
    const std::wstring key = WideFromUtf8(value);
    if (!key.empty()) {
      const std::wstring settings = ProgramFolder() + L"\\data\\skin\\skincfg.ini";
      extra_alpha_ = std::clamp(static_cast<int>(::GetPrivateProfileIntW(L"alpha", key.c_str(), 255, settings.c_str())), 0, 255);
    }
    return kVwAttributeTaken;
  }
  return kVwAttributeUnknown;
}

SharedGpImage CVwNormalPngSkin::LoadBaseImage() {
  if (file_.empty()) return nullptr;
  // A relative name is taken from the program's folder.
  const bool absolute = file_.size() > 1 && (file_[1] == L':' || (file_[0] == L'\\' && file_[1] == L'\\'));
  return ShareImage(DecodeImageFile(absolute ? file_ : ProgramFolder() + L"\\" + file_));
}

}  // namespace kbase

#pragma once
// Skins over whole images: "imglst" (a BMP strip drawn by mode), "imgframe" (a frame
// cut at one column and one row) and "imghorzex" (stretched around one column).
#include <memory>

#include "ui/vw_attribute_text.h"
#include "ui/vw_bitmap.h"
#include "ui/vw_png_pool.h"
#include "ui/vw_skin_base.h"

namespace kbase {

class CVwImageSkin : public CVwSkinBase {
 public:
  static constexpr const char* kTag = "imglst";
  static constexpr int kModeNone = 0;
  static constexpr int kModeMask = 1;
  static constexpr int kModeAlpha = 2;

  const char* GetObjectClass() const override { return kTag; }
  int SetAttribute(const char* name, const char* value, bool loading) override;
  void Draw(HDC dc, const RECT& rect, int state) override;
  SIZE GetSkinSize() override;
  bool IgnoreState() override { return subwidth_ <= 0; }
  bool EnsureLoaded() override;

 private:
  int src_ = 0;
  int mode_ = kModeNone;
  VwColour mask_colour_ = 0;
  int subwidth_ = 0;
  int stretch_x_ = 0;
  int stretch_y_ = 0;
  HBITMAP bitmap_ = nullptr;  // owned by the BMP pool
  bool attempted_ = false;
};

// Shared by the PNG-backed frame kinds: the image by "src" as a 32-bit bitmap.
class CVwPngBackedSkin : public CVwSkinBase {
 public:
  int SetAttribute(const char* name, const char* value, bool loading) override;
  SIZE GetSkinSize() override;
  bool EnsureLoaded() override;

 protected:
  const CVwBitmap* Bitmap();
  void Blend(HDC dc, LONG dl, LONG dt, LONG dr, LONG db, int sl, int st, int sr, int sb, int alpha);
  int src_ = 0;
  int left_ = 0;
  int top_ = 0;
  int subwidth_ = 0;

 private:
  bool attempted_ = false;
  SharedGpImage image_;
  CVwBitmap bitmap_;
};

class CVwSkinImgFrame : public CVwPngBackedSkin {
 public:
  static constexpr const char* kTag = "imgframe";
  const char* GetObjectClass() const override { return kTag; }
  int SetAttribute(const char* name, const char* value, bool loading) override;
  void Draw(HDC dc, const RECT& rect, int state) override;
  void DrawState(HDC dc, int left, int top, int right, int bottom, int state, bool dpi, int alpha) override;

 private:
  enum Part { kAll, kTop, kMiddle, kBottom, kLeft, kCenter, kRight };
  VwColour background_ = kVwColourUnset;
  int part_ = kAll;
};

class CVwSkinImgHorzExtend : public CVwPngBackedSkin {
 public:
  static constexpr const char* kTag = "imghorzex";
  const char* GetObjectClass() const override { return kTag; }
  bool IgnoreState() override { return subwidth_ <= 0; }
  void Draw(HDC dc, const RECT& rect, int state) override;
  void DrawState(HDC dc, int left, int top, int right, int bottom, int state, bool dpi, int alpha) override;

 private:
  void DrawFrameIndex(HDC dc, const RECT& rect, int index, int alpha);
};

}  // namespace kbase

#pragma once
// The "png" skin: an image from the PNG pool cut into equal-width state frames
// ("subwidth"), each drawn as nine parts (fixed corners and edges given by the margins,
// stretched middle), with DPI variants, flips and a wanted width.
#include <map>
#include <memory>
#include <string>

#include "ui/vw_bitmap.h"
#include "ui/vw_png_pool.h"
#include "ui/vw_skin_base.h"

namespace kbase {

class CVwPngSkin : public CVwSkinBase {
 public:
  static constexpr const char* kTag = "png";

  const char* GetObjectClass() const override { return kTag; }
  int SetAttribute(const char* name, const char* value, bool loading) override;

  void DrawScaled(HDC dc, int left, int top, int right, int bottom, int state, int mode) override;
  void Draw(HDC dc, const RECT& rect, int state) override;
  void DrawRect(HDC dc, const RECT& dst, const RECT& src) override;
  void DrawPoints(HDC dc, const POINT points[3], const RECT& src) override;
  void DrawAlpha(HDC dc, const RECT& dst, const RECT& src, int alpha) override;
  void DrawStretch(HDC dc, const RECT& dst, const RECT& src) override;
  void DrawTile(HDC dc, const RECT& rect) override;
  void DrawGray(HDC dc, const RECT& dst, const RECT& src) override;
  void DrawFlipped(HDC dc, const RECT& rect) override;
  SIZE GetSkinSize() override;
  bool IgnoreState() override { return subwidth_ <= 0; }
  bool EnsureLoaded() override;
  void DrawState(HDC dc, int left, int top, int right, int bottom, int state, bool dpi, int alpha) override;
  void DrawFrame(HDC dc, const RECT& dst, const RECT& src, int state) override;
  void DrawFrameAlpha(HDC dc, const RECT& dst, const RECT& src, int state, int alpha) override;

  int frame_count() const;
  bool loaded() const { return loaded_; }

 protected:
  // Where the base image comes from; kinds that read JPEGs or files replace it.
  virtual SharedGpImage LoadBaseImage();
  virtual bool UsesDpiImages() const { return true; }
  // The attribute names the kind accepts (the others are ignored).
  virtual bool Accepts(const char* name) const;

  int src_number() const { return src_; }
  // The constant alpha every draw of the kind multiplies in (skinpng "alpha").
  int extra_alpha_ = 255;

 private:
  // The image in 32 bits at scale k (from the DPI variant when one has ratio k), with its
  // length factor; made once per scale.
  const CVwBitmap* BitmapAt(double k, double* factor);
  const CVwBitmap* PlainBitmap();
  // Frame index for a state.
  int FrameIndex(int state) const;
  void DrawNineParts(HDC dc, const CVwBitmap& bitmap, double factor, int index, const RECT& dst, int alpha,
                     bool middle_tile);
  int RotateFlipCode() const { return flip_ != 0 ? 4 : fliptype_; }

  bool loaded_ = false;
  bool attempted_ = false;
  SharedGpImage base_image_;
  SharedGpImage dpi_image_;
  double dpi_ratio_ = 1.0;
  int src_ = 0;
  int subwidth_ = 0;
  int left_ = 0;
  int top_ = 0;
  int margin_left_ = 0;
  int margin_right_ = 0;
  int margin_top_ = 0;
  int margin_bottom_ = 0;
  int middle_tile_ = 0;
  int flip_ = 0;
  int fliptype_ = 0;
  CVwBitmap plain_;
  CVwBitmap gray_;
  int want_image_width_ = 0;
  // Cut frames of the source for per-frame scaling, "%I64d_%d_%d_%d_%d".
  std::map<std::string, ScopedGpImage> cut_frames_;
  // Scaled copies by scale (thousandths) and their length factors.
  std::map<int, std::pair<std::unique_ptr<CVwBitmap>, double>> scaled_;
};

// The "jpg" skin: the same frames from the JPEG pool, with left and right margins.
class CVwJpgSkin : public CVwPngSkin {
 public:
  static constexpr const char* kTag = "jpg";
  const char* GetObjectClass() const override { return kTag; }

 protected:
  SharedGpImage LoadBaseImage() override;
  bool UsesDpiImages() const override { return false; }
  bool Accepts(const char* name) const override;
};

// The "skinpng" skin: a PNG read from a file name ("file"), with a constant alpha that
// may come from "data\skin\skincfg.ini"; it draws through Draw only.
class CVwNormalPngSkin : public CVwPngSkin {
 public:
  static constexpr const char* kTag = "skinpng";
  const char* GetObjectClass() const override { return kTag; }
  int SetAttribute(const char* name, const char* value, bool loading) override;
  void DrawState(HDC, int, int, int, int, int, bool, int) override {}

 protected:
  SharedGpImage LoadBaseImage() override;
  bool UsesDpiImages() const override { return false; }
  bool Accepts(const char* name) const override;

 private:
  std::wstring file_;
};

// The "skinjpg" skin: as "skinpng" with a JPEG file.
class CVwNormalJPGSkin : public CVwNormalPngSkin {
 public:
  static constexpr const char* kTag = "skinjpg";
  const char* GetObjectClass() const override { return kTag; }
};

}  // namespace kbase

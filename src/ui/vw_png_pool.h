#pragma once
// Decoded images by number, decoded once and shared with the skins that use them. The
// PNG pool also keeps the DPI variants: a separately drawn image for a scale ratio.
#include <map>
#include <memory>
#include <string>

#include "ui/gdiplus_image.h"

namespace kbase {

class VwDpiSettings;
using SharedGpImage = std::shared_ptr<Gdiplus::GpImage>;

// Decodes bytes into a shared image (null when they do not decode).
SharedGpImage ShareImage(ScopedGpImage image);

class VwPngPool {
 public:
  static VwPngPool& Instance();

  // The PNG of that number from the resource sources; null when none decodes.
  SharedGpImage Image(int number);
  // The DPI variant of that number for the current ratio and its ratio; null when the
  // ratio is 1.0 or no variant file fits.
  SharedGpImage DpiImage(int number, double* ratio);
  // Disposes base and DPI images and forgets the ratios.
  void Clear();

  // Where DPI variants are looked for: "<folder>\ressrc\chs\dpiimg" of the program, the
  // program name and its DPI settings. The defaults are this program's.
  void SetDpiImageSource(const std::wstring& dpi_folder, const std::wstring& program_name, VwDpiSettings* settings);
  // "<dpi folder>\<r>\<program>\<number>_<r>.png", r with one decimal.
  std::wstring DpiImagePath(int number, double ratio) const;

 private:
  VwPngPool();
  std::map<int, SharedGpImage> images_;
  std::map<int, SharedGpImage> dpi_images_;
  std::map<int, double> dpi_ratios_;
  std::wstring dpi_folder_;
  std::wstring program_name_;
  VwDpiSettings* settings_ = nullptr;
};

class VwJpgPool {
 public:
  static VwJpgPool& Instance();
  SharedGpImage Image(int number);
  void Clear() { images_.clear(); }

 private:
  std::map<int, SharedGpImage> images_;
};

// GDI bitmaps by number: provider, resource module, program module, then
// "<resource folder>\<number>.bmp".
class VwBmpPool {
 public:
  static VwBmpPool& Instance();
  ~VwBmpPool();
  HBITMAP Bitmap(int number);
  void Clear();

 private:
  std::map<int, HBITMAP> bitmaps_;
};

}  // namespace kbase

#pragma once
// GDI+ through its flat API: the process-wide start-up, an owner for decoded images and
// decoding from bytes in memory.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <memory>
#include <string>

namespace kbase {

namespace gp = Gdiplus::DllExports;

// Starts GDI+ once for the process; false when it cannot start.
bool EnsureGdiplus();

struct GpImageDeleter {
  void operator()(Gdiplus::GpImage* image) const;
};
// Sole owner of a GDI+ image or bitmap.
using ScopedGpImage = std::unique_ptr<Gdiplus::GpImage, GpImageDeleter>;

struct GpGraphicsDeleter {
  void operator()(Gdiplus::GpGraphics* graphics) const;
};
using ScopedGpGraphics = std::unique_ptr<Gdiplus::GpGraphics, GpGraphicsDeleter>;

// Decodes PNG, JPEG, BMP or GIF bytes into a self-contained 32-bit ARGB bitmap (the
// bytes and their stream are released before returning); null when they do not decode.
ScopedGpImage DecodeImageBytes(const std::string& bytes);
// The same for a whole file read into memory.
ScopedGpImage DecodeImageFile(const std::wstring& path);

// Width and height of an image; 0 x 0 for null.
SIZE ImageSize(Gdiplus::GpImage* image);

// A new 32-bit ARGB bitmap holding `image` rotated/flipped by a GDI+ code 0..7; the
// source stays untouched.
ScopedGpImage RotateFlipCopy(Gdiplus::GpImage* image, int rotate_flip);

}  // namespace kbase

#include "ui/gdiplus_image.h"

#include <mutex>

#include "common/win/scoped_com.h"
#include "common/win/scoped_handle.h"

namespace kbase {
namespace {

// Images above this many pixels are refused: a hostile header must not make us allocate
// gigabytes.
constexpr long long kMaxPixels = 64LL * 1024 * 1024;
constexpr size_t kMaxFileBytes = 64u * 1024 * 1024;

// Copies any image into a bitmap that owns its pixels.
ScopedGpImage CopyToArgb(Gdiplus::GpImage* source) {
  const SIZE size = ImageSize(source);
  if (size.cx <= 0 || size.cy <= 0 || static_cast<long long>(size.cx) * size.cy > kMaxPixels) return nullptr;
  Gdiplus::GpBitmap* bitmap = nullptr;
  if (gp::GdipCreateBitmapFromScan0(size.cx, size.cy, 0, PixelFormat32bppARGB, nullptr, &bitmap) != Gdiplus::Ok)
    return nullptr;
  ScopedGpImage result(bitmap);
  Gdiplus::GpGraphics* raw = nullptr;
  if (gp::GdipGetImageGraphicsContext(bitmap, &raw) != Gdiplus::Ok) return nullptr;
  ScopedGpGraphics graphics(raw);
  gp::GdipSetCompositingMode(raw, Gdiplus::CompositingModeSourceCopy);
  gp::GdipSetInterpolationMode(raw, Gdiplus::InterpolationModeNearestNeighbor);
  gp::GdipSetPixelOffsetMode(raw, Gdiplus::PixelOffsetModeHalf);
  if (gp::GdipDrawImageRectRectI(raw, source, 0, 0, size.cx, size.cy, 0, 0, size.cx, size.cy,
                                 Gdiplus::UnitPixel, nullptr, nullptr, nullptr) != Gdiplus::Ok)
    return nullptr;
  return result;
}

}  // namespace

void GpImageDeleter::operator()(Gdiplus::GpImage* image) const {
  if (image != nullptr) gp::GdipDisposeImage(image);
}

void GpGraphicsDeleter::operator()(Gdiplus::GpGraphics* graphics) const {
  if (graphics != nullptr) gp::GdipDeleteGraphics(graphics);
}

bool EnsureGdiplus() {
  // Started once and kept for the process: images live in process-wide pools until exit.
  static std::once_flag once;
  static bool started = false;
  std::call_once(once, [] {
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    started = Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok;
  });
  return started;
}

ScopedGpImage DecodeImageBytes(const std::string& bytes) {
  if (bytes.empty() || !EnsureGdiplus()) return nullptr;
  HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  if (memory == nullptr) return nullptr;
  void* target = ::GlobalLock(memory);
  if (target == nullptr) {
    ::GlobalFree(memory);
    return nullptr;
  }
  memcpy(target, bytes.data(), bytes.size());
  ::GlobalUnlock(memory);
  ScopedComPtr<IStream> stream;
  // The stream frees the memory when it goes.
  if (FAILED(::CreateStreamOnHGlobal(memory, TRUE, stream.receive()))) {
    ::GlobalFree(memory);
    return nullptr;
  }
  Gdiplus::GpImage* image = nullptr;
  if (gp::GdipLoadImageFromStream(stream.get(), &image) != Gdiplus::Ok) return nullptr;
  ScopedGpImage loaded(image);
  return CopyToArgb(loaded.get());
}

ScopedGpImage DecodeImageFile(const std::wstring& path) {
  ScopedHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file.valid()) return nullptr;
  std::string bytes;
  LARGE_INTEGER length{};
  if (::GetFileSizeEx(file.get(), &length) && length.QuadPart > 0 &&
      static_cast<unsigned long long>(length.QuadPart) <= kMaxFileBytes) {
    bytes.resize(static_cast<size_t>(length.QuadPart));
    DWORD read = 0;
    if (!::ReadFile(file.get(), &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr) || read != bytes.size())
      bytes.clear();
  }
  return DecodeImageBytes(bytes);
}

SIZE ImageSize(Gdiplus::GpImage* image) {
  SIZE size{0, 0};
  if (image == nullptr) return size;
  UINT width = 0, height = 0;
  gp::GdipGetImageWidth(image, &width);
  gp::GdipGetImageHeight(image, &height);
  size.cx = static_cast<LONG>(width);
  size.cy = static_cast<LONG>(height);
  return size;
}

ScopedGpImage RotateFlipCopy(Gdiplus::GpImage* image, int rotate_flip) {
  ScopedGpImage copy = CopyToArgb(image);
  if (copy != nullptr && rotate_flip != 0)
    gp::GdipImageRotateFlip(copy.get(), static_cast<Gdiplus::RotateFlipType>(rotate_flip & 7));
  return copy;
}

}  // namespace kbase

#include "ui/dib32.h"

#include <cstring>

namespace kbase {

bool Dib32::Create(int width, int height) {
  Reset();
  if (width <= 0 || height <= 0) return false;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap_ == nullptr || bits == nullptr) {
    Reset();
    return false;
  }
  pixels_ = static_cast<uint32_t*>(bits);
  width_ = width;
  height_ = height;
  Clear();
  return true;
}

void Dib32::Reset() {
  if (bitmap_ != nullptr) DeleteObject(bitmap_);
  bitmap_ = nullptr;
  pixels_ = nullptr;
  width_ = height_ = 0;
}

void Dib32::Clear() {
  if (pixels_ == nullptr) return;
  GdiFlush();
  std::memset(pixels_, 0, static_cast<size_t>(width_) * height_ * 4);
}

uint32_t Dib32::at(int x, int y) const {
  if (pixels_ == nullptr || x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  GdiFlush();
  return pixels_[static_cast<size_t>(y) * width_ + x];
}

}  // namespace kbase

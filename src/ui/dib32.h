#pragma once
// A top-down 32-bit DIB section that one owner draws into (premultiplied BGRA), and a
// memory device context that holds a bitmap selected for the life of the object.
#include <windows.h>

#include <cstdint>

namespace kbase {

class Dib32 {
 public:
  Dib32() = default;
  ~Dib32() { Reset(); }
  Dib32(const Dib32&) = delete;
  Dib32& operator=(const Dib32&) = delete;

  // A cleared bitmap of the size; false (and nothing held) when GDI refuses.
  bool Create(int width, int height);
  void Reset();
  void Clear();

  HBITMAP get() const { return bitmap_; }
  int width() const { return width_; }
  int height() const { return height_; }
  uint32_t* pixels() const { return pixels_; }
  // The pixel at (x, y), or 0 outside the bitmap.
  uint32_t at(int x, int y) const;

 private:
  HBITMAP bitmap_ = nullptr;
  uint32_t* pixels_ = nullptr;
  int width_ = 0;
  int height_ = 0;
};

class BitmapDc {
 public:
  explicit BitmapDc(HBITMAP bitmap) : dc_(CreateCompatibleDC(nullptr)) {
    if (dc_ != nullptr) old_ = SelectObject(dc_, bitmap);
  }
  ~BitmapDc() {
    if (dc_ == nullptr) return;
    SelectObject(dc_, old_);
    DeleteDC(dc_);
  }
  BitmapDc(const BitmapDc&) = delete;
  BitmapDc& operator=(const BitmapDc&) = delete;

  HDC get() const { return dc_; }

 private:
  HDC dc_;
  HGDIOBJ old_ = nullptr;
};

}  // namespace kbase

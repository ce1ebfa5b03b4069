#pragma once
// Owners for GDI objects and device contexts, so every exit path releases them.
#include <windows.h>

#include <utility>

namespace kbase {

// Sole owner of a GDI object (bitmap, font, brush, pen, region).
template <typename T>
class ScopedGdiObject {
 public:
  ScopedGdiObject() = default;
  explicit ScopedGdiObject(T object) : object_(object) {}
  ~ScopedGdiObject() { Reset(); }
  ScopedGdiObject(ScopedGdiObject&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  ScopedGdiObject& operator=(ScopedGdiObject&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.object_, nullptr));
    return *this;
  }
  ScopedGdiObject(const ScopedGdiObject&) = delete;
  ScopedGdiObject& operator=(const ScopedGdiObject&) = delete;

  T get() const { return object_; }
  bool valid() const { return object_ != nullptr; }
  void Reset(T object = nullptr) {
    if (object_ != nullptr) ::DeleteObject(object_);
    object_ = object;
  }

 private:
  T object_ = nullptr;
};

using ScopedBitmap = ScopedGdiObject<HBITMAP>;
using ScopedFont = ScopedGdiObject<HFONT>;
using ScopedBrush = ScopedGdiObject<HBRUSH>;
using ScopedPen = ScopedGdiObject<HPEN>;
using ScopedRegion = ScopedGdiObject<HRGN>;

// A memory device context compatible with another (or the screen).
class ScopedMemoryDc {
 public:
  explicit ScopedMemoryDc(HDC compatible = nullptr) : dc_(::CreateCompatibleDC(compatible)) {}
  ~ScopedMemoryDc() {
    if (dc_ != nullptr) ::DeleteDC(dc_);
  }
  ScopedMemoryDc(const ScopedMemoryDc&) = delete;
  ScopedMemoryDc& operator=(const ScopedMemoryDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

// The screen's device context for the scope.
class ScopedScreenDc {
 public:
  ScopedScreenDc() : dc_(::GetDC(nullptr)) {}
  ~ScopedScreenDc() {
    if (dc_ != nullptr) ::ReleaseDC(nullptr, dc_);
  }
  ScopedScreenDc(const ScopedScreenDc&) = delete;
  ScopedScreenDc& operator=(const ScopedScreenDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

// Selects an object into a DC for the scope and puts the previous one back.
class ScopedSelectObject {
 public:
  ScopedSelectObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(object != nullptr ? ::SelectObject(dc, object) : nullptr) {}
  ~ScopedSelectObject() {
    if (old_ != nullptr) ::SelectObject(dc_, old_);
  }
  ScopedSelectObject(const ScopedSelectObject&) = delete;
  ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

}  // namespace kbase

#pragma once
#include <windows.h>

#include <utility>

namespace kbase {

// Sole owner of a mapped view of a file; unmaps it on destruction.
class ScopedMapView {
 public:
  ScopedMapView() = default;
  explicit ScopedMapView(void* view) : view_(view) {}
  ~ScopedMapView() { Reset(); }
  ScopedMapView(ScopedMapView&& other) noexcept : view_(std::exchange(other.view_, nullptr)) {}
  ScopedMapView& operator=(ScopedMapView&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.view_, nullptr));
    return *this;
  }
  ScopedMapView(const ScopedMapView&) = delete;
  ScopedMapView& operator=(const ScopedMapView&) = delete;

  bool valid() const { return view_ != nullptr; }
  void* get() const { return view_; }
  void Reset(void* view = nullptr) {
    if (view_ != nullptr) ::UnmapViewOfFile(view_);
    view_ = view;
  }

 private:
  void* view_ = nullptr;
};

}  // namespace kbase

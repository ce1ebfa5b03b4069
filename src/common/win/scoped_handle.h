#pragma once
#include <windows.h>

#include <utility>

namespace kbase {

// Sole owner of a kernel object handle (event, thread, process, file, mapping).
// Both null and INVALID_HANDLE_VALUE mean "none".
class ScopedHandle {
 public:
  ScopedHandle() = default;
  explicit ScopedHandle(HANDLE handle) : handle_(handle) {}
  ~ScopedHandle() { Reset(); }
  ScopedHandle(ScopedHandle&& other) noexcept : handle_(other.Release()) {}
  ScopedHandle& operator=(ScopedHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;

  bool valid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }
  HANDLE Release() { return std::exchange(handle_, nullptr); }
  void Reset(HANDLE handle = nullptr) {
    if (valid()) ::CloseHandle(handle_);
    handle_ = handle;
  }

 private:
  HANDLE handle_ = nullptr;
};

// Sole owner of a registry key handle.
class ScopedKey {
 public:
  ScopedKey() = default;
  ~ScopedKey() { Reset(); }
  ScopedKey(const ScopedKey&) = delete;
  ScopedKey& operator=(const ScopedKey&) = delete;

  HKEY get() const { return key_; }
  HKEY* receive() {
    Reset();
    return &key_;
  }
  void Reset() {
    if (key_ != nullptr) ::RegCloseKey(key_);
    key_ = nullptr;
  }

 private:
  HKEY key_ = nullptr;
};

}  // namespace kbase

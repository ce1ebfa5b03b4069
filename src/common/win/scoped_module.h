#pragma once
#include <windows.h>

#include <utility>

namespace kbase {

// Sole owner of a loaded library; unloads it on destruction.
class ScopedModule {
 public:
  ScopedModule() = default;
  explicit ScopedModule(HMODULE module) : module_(module) {}
  ~ScopedModule() { Reset(); }
  ScopedModule(ScopedModule&& other) noexcept : module_(std::exchange(other.module_, nullptr)) {}
  ScopedModule& operator=(ScopedModule&& other) noexcept {
    if (this != &other) {
      Reset();
      module_ = std::exchange(other.module_, nullptr);
    }
    return *this;
  }
  ScopedModule(const ScopedModule&) = delete;
  ScopedModule& operator=(const ScopedModule&) = delete;

  bool valid() const { return module_ != nullptr; }
  HMODULE get() const { return module_; }
  void Reset() {
    if (module_ != nullptr) ::FreeLibrary(module_);
    module_ = nullptr;
  }

  // The named export as a function pointer of type F; null when the module lacks it.
  template <typename F>
  F Function(const char* name) const {
    if (module_ == nullptr) return nullptr;
    return reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(module_, name)));
  }

 private:
  HMODULE module_ = nullptr;
};

}  // namespace kbase

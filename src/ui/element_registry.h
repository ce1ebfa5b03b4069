#pragma once
// Process-wide map from element handle to element. Handles are unique for the process
// and start at 1; 0 means "no element". One lock guards the map and the handle counter
// (and the control groups that are registered under the same lock).
#include <cstdint>
#include <mutex>
#include <unordered_map>

namespace kbase {

class CVwWindow;

class ElementRegistry {
 public:
  static ElementRegistry& Instance();

  uint32_t Register(CVwWindow* element);
  void Unregister(uint32_t handle);
  // The element of a handle, or null.
  CVwWindow* Find(uint32_t handle);
  size_t size();
  std::mutex& lock() { return lock_; }

 private:
  std::mutex lock_;
  uint32_t next_handle_ = 1;
  std::unordered_map<uint32_t, CVwWindow*> elements_;
};

}  // namespace kbase

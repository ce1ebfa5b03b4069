#include "ui/element_registry.h"

namespace kbase {

ElementRegistry& ElementRegistry::Instance() {
  static ElementRegistry registry;
  return registry;
}

uint32_t ElementRegistry::Register(CVwWindow* element) {
  std::lock_guard<std::mutex> hold(lock_);
  uint32_t handle = next_handle_++;
  if (handle == 0) handle = next_handle_++;  // after wrapping, 0 stays "no element"
  elements_[handle] = element;
  return handle;
}

void ElementRegistry::Unregister(uint32_t handle) {
  std::lock_guard<std::mutex> hold(lock_);
  elements_.erase(handle);
}

CVwWindow* ElementRegistry::Find(uint32_t handle) {
  std::lock_guard<std::mutex> hold(lock_);
  auto found = elements_.find(handle);
  return found == elements_.end() ? nullptr : found->second;
}

size_t ElementRegistry::size() {
  std::lock_guard<std::mutex> hold(lock_);
  return elements_.size();
}

}  // namespace kbase

#include "ui/controls/vw_memory_images.h"

#include <mutex>
#include <set>

#include "ui/element_registry.h"

namespace kbase {
namespace {

std::set<uintptr_t>& Images() {
  static std::set<uintptr_t> images;
  return images;
}

}  // namespace

void RegisterMemoryImage(uintptr_t image) {
  if (image == 0) return;
  std::lock_guard<std::mutex> hold(ElementRegistry::Instance().lock());
  Images().insert(image);
}

void UnregisterMemoryImage(uintptr_t image) {
  std::lock_guard<std::mutex> hold(ElementRegistry::Instance().lock());
  Images().erase(image);
}

bool IsRegisteredMemoryImage(uintptr_t image) {
  std::lock_guard<std::mutex> hold(ElementRegistry::Instance().lock());
  return Images().count(image) != 0;
}

}  // namespace kbase

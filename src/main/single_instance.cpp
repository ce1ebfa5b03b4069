#include "main/single_instance.h"

namespace kbase {

KSingleInstance::~KSingleInstance() {
  if (view_ != nullptr) UnmapViewOfFile(view_);
}

bool KSingleInstance::Acquire() {
  mapping_.Reset(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4,
                                    kSingleInstanceMapping));
  const bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
  if (!mapping_.valid()) return true;
  if (existed) return false;
  view_ = MapViewOfFile(mapping_.get(), FILE_MAP_ALL_ACCESS, 0, 0, 4);
  return true;
}

}  // namespace kbase

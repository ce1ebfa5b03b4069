#include "ui/paint_lock.h"

namespace kbase {

CriticalSection& VwPaintLock() {
  static CriticalSection lock;
  return lock;
}

}  // namespace kbase

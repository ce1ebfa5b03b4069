#pragma once
// The process-wide lock held while any host paints its back buffer: the pools and
// caches the painting reads are shared by every dialog of the process.
#include "common/win/critical_section.h"

namespace kbase {

CriticalSection& VwPaintLock();

}  // namespace kbase

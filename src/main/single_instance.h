#pragma once
// One installer at a time: a named file mapping that lives as long as this process.
#include <windows.h>

#include "common/win/scoped_handle.h"

namespace kbase {

inline constexpr wchar_t kSingleInstanceMapping[] =
    L"kinstalltool_{0A3C83FD-7B1D-4c3f-8932-190BA6D25F90}";

class KSingleInstance {
 public:
  KSingleInstance() = default;
  ~KSingleInstance();
  KSingleInstance(const KSingleInstance&) = delete;
  KSingleInstance& operator=(const KSingleInstance&) = delete;

  // False when another installer already holds the mapping. A mapping that cannot be
  // made or mapped counts as being the only instance.
  bool Acquire();

 private:
  ScopedHandle mapping_;
  void* view_ = nullptr;
};

}  // namespace kbase

#pragma once
// A package file held open from its digest check until it has been started or loaded.
// The package lives in a folder that unelevated programs can write; holding it with
// sharing that denies writing and deleting makes what runs the bytes that were checked.
#include <windows.h>

#include <string>

#include "common/win/scoped_handle.h"

namespace kbase {

class KVerifiedPackage {
 public:
  KVerifiedPackage() = default;
  KVerifiedPackage(const KVerifiedPackage&) = delete;
  KVerifiedPackage& operator=(const KVerifiedPackage&) = delete;

  // Opens the file for reading, sharing reads only, and compares its MD5 digest with
  // `expected` (hexadecimal, any case). True when it matches; the file then stays held
  // until Release or destruction. On a mismatch or any failure nothing is held.
  bool OpenAndVerify(const std::wstring& path, const std::wstring& expected);

  void Release() { file_.Reset(); }
  bool held() const { return file_.valid(); }

 private:
  ScopedHandle file_;
};

}  // namespace kbase

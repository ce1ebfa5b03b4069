#include "download/verified_package.h"

#include <memory>
#include <utility>

#include "common/codec/md5.h"
#include "download/package_verify.h"

namespace kbase {
namespace {

constexpr DWORD kReadChunk = 1 << 20;

bool HandleMd5(HANDLE file, std::string* hex) {
  std::unique_ptr<unsigned char[]> buffer(new unsigned char[kReadChunk]);
  Md5 md5;
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file, buffer.get(), kReadChunk, &got, nullptr)) return false;
    if (got == 0) break;
    md5.Update(buffer.get(), got);
  }
  *hex = Md5ToHex(md5.Finish());
  return true;
}

}  // namespace

bool KVerifiedPackage::OpenAndVerify(const std::wstring& path, const std::wstring& expected) {
  Release();
  if (path.empty() || expected.empty()) return false;
  // Process creation and library loading open the file for reading (and executing, which
  // sharing treats as reading), so they still succeed while it is held.
  ScopedHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN,
                                nullptr));
  if (!file.valid()) return false;
  std::string actual;
  if (!HandleMd5(file.get(), &actual) || !DigestTextMatches(expected, actual)) return false;
  file_ = std::move(file);
  return true;
}

}  // namespace kbase

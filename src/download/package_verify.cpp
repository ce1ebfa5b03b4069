#include "download/package_verify.h"

#include <cstdio>
#include <memory>

#include "common/codec/md5.h"

namespace kbase {
namespace {

// The digest is fed in small blocks; a large stream buffer keeps the number of system
// reads low without changing what the digest sees.
constexpr size_t kStreamBuffer = 1 << 20;

struct FileCloser {
  void operator()(FILE* file) const { fclose(file); }
};

wchar_t AsciiLower(wchar_t c) { return (c >= L'A' && c <= L'Z') ? c - L'A' + L'a' : c; }

}  // namespace

bool PackageFileMd5(const std::wstring& path, std::string* hex) {
  if (path.empty()) return false;
  // Declared before the stream, which uses it until it is closed.
  std::unique_ptr<char[]> stream_buffer(new char[kStreamBuffer]);
  std::unique_ptr<FILE, FileCloser> file(_wfopen(path.c_str(), L"rb"));
  if (!file) return false;
  setvbuf(file.get(), stream_buffer.get(), _IOFBF, kStreamBuffer);

  Md5 md5;
  unsigned char block[kPackageReadBlock];
  size_t got;
  while ((got = fread(block, 1, sizeof block, file.get())) > 0) md5.Update(block, got);
  if (ferror(file.get())) return false;
  *hex = Md5ToHex(md5.Finish());
  return true;
}

bool VerifyPackageMd5(const std::wstring& expected, const std::wstring& path) {
  if (expected.empty() || path.empty()) return false;
  std::string actual;
  return PackageFileMd5(path, &actual) && DigestTextMatches(expected, actual);
}

bool DigestTextMatches(const std::wstring& expected, const std::string& actual) {
  if (expected.empty() || expected.size() != actual.size()) return false;
  for (size_t i = 0; i < actual.size(); ++i) {
    if (AsciiLower(expected[i]) != AsciiLower(static_cast<wchar_t>(actual[i]))) return false;
  }
  return true;
}

}  // namespace kbase

#pragma once
// The digest check of a downloaded package against its configuration entry.
#include <string>

namespace kbase {

// Upper-case hexadecimal MD5 digest of a file ("%02X" a byte), read in blocks of
// kPackageReadBlock bytes. False when the path is empty or the file cannot be opened
// or read.
bool PackageFileMd5(const std::wstring& path, std::string* hex);

// True when the file's digest text equals the expected text regardless of case. The
// expected text is taken as it stands: surrounding spaces make it differ.
bool VerifyPackageMd5(const std::wstring& expected, const std::wstring& path);

// The comparison VerifyPackageMd5 makes: same length, equal regardless of ASCII case.
bool DigestTextMatches(const std::wstring& expected, const std::string& actual);

constexpr size_t kPackageReadBlock = 255;

}  // namespace kbase

// The package digest check on real files: digests of files around the 255-byte read
// size and larger than the stream buffer, how the expected text is compared, and
// files that cannot be read.
#include <gtest/gtest.h>
#include <windows.h>

#include <random>
#include <string>

#include "common/codec/md5.h"
#include "common/win/scoped_handle.h"
#include "download/package_verify.h"
#include "support/win_test_util.h"

namespace kbase {
namespace {

using test::TempFolder;
using test::WriteWholeFile;

std::string RandomBytes(size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random());
  return bytes;
}

TEST(PackageFileMd5, DigestsFilesOfEverySizeAroundTheReadBlock) {
  struct Case {
    const char* name;
    std::string bytes;
    std::string expected;  // empty: the one-shot digest of the bytes
  };
  const Case cases[] = {
      {"empty file", "", "D41D8CD98F00B204E9800998ECF8427E"},
      {"abc", "abc", "900150983CD24FB0D6963F7D28E17F72"},
      {"one block less a byte", RandomBytes(254, 1), ""},
      {"one block", RandomBytes(255, 2), ""},
      {"one block and a byte", RandomBytes(256, 3), ""},
      {"two blocks", RandomBytes(510, 4), ""},
      // Blocks straddle the refills of the 1 MiB stream buffer.
      {"three stream buffers and a bit", RandomBytes(3 * 1048576 + 1000, 5), ""},
  };
  TempFolder folder;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::wstring path = folder.File(L"package.bin");
    ASSERT_TRUE(WriteWholeFile(path, c.bytes));
    const std::string expected =
        c.expected.empty() ? Md5ToHex(Md5Of(c.bytes.data(), c.bytes.size())) : c.expected;
    std::string hex;
    ASSERT_TRUE(PackageFileMd5(path, &hex));
    EXPECT_EQ(hex, expected);
    EXPECT_TRUE(VerifyPackageMd5(std::wstring(expected.begin(), expected.end()), path));
  }
}

TEST(VerifyPackageMd5, ComparesTheExpectedTextWithoutCaseAndWithoutTrimming) {
  struct Case {
    const wchar_t* expected;
    bool matches;
  };
  const Case cases[] = {
      {L"900150983CD24FB0D6963F7D28E17F72", true},
      {L"900150983cd24fb0d6963f7d28e17f72", true},
      {L"900150983cD24Fb0d6963F7D28e17F72", true},
      {L" 900150983CD24FB0D6963F7D28E17F72", false},
      {L"900150983CD24FB0D6963F7D28E17F72 ", false},
      {L"900150983CD24FB0D6963F7D28E17F72\r\n", false},
      {L"900150983CD24FB0D6963F7D28E17F7", false},
      {L"900150983CD24FB0D6963F7D28E17F720", false},
      {L"900150983CD24FB0D6963F7D28E17F73", false},
      {L"D41D8CD98F00B204E9800998ECF8427E", false},
      {L"", false},
  };
  TempFolder folder;
  const std::wstring path = folder.File(L"abc.bin");
  ASSERT_TRUE(WriteWholeFile(path, "abc"));
  for (const Case& c : cases) {
    EXPECT_EQ(VerifyPackageMd5(c.expected, path), c.matches) << "\"" << c.expected << "\"";
  }
}

TEST(VerifyPackageMd5, FilesThatCannotBeReadNeverMatch) {
  TempFolder folder;
  const std::wstring empty_digest = L"D41D8CD98F00B204E9800998ECF8427E";
  std::string hex;
  EXPECT_FALSE(VerifyPackageMd5(empty_digest, L""));
  EXPECT_FALSE(PackageFileMd5(L"", &hex));
  EXPECT_FALSE(VerifyPackageMd5(empty_digest, folder.File(L"missing.bin")));
  EXPECT_FALSE(PackageFileMd5(folder.File(L"missing.bin"), &hex));
  // A folder is no package, even though its "content" would be empty.
  EXPECT_FALSE(VerifyPackageMd5(empty_digest, folder.path()));

  // A file another process holds without read sharing (a scanner, a running setup).
  const std::wstring held = folder.File(L"held.bin");
  ASSERT_TRUE(WriteWholeFile(held, ""));
  ASSERT_TRUE(VerifyPackageMd5(empty_digest, held));
  ScopedHandle exclusive(
      CreateFileW(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(exclusive.valid());
  EXPECT_FALSE(VerifyPackageMd5(empty_digest, held));
}

}  // namespace
}  // namespace kbase

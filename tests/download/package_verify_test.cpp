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
#include "download/verified_package.h"
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

// What a program the user runs could try between the digest check and the start.
struct SwapAttempts {
  bool write, replace, remove;
};

SwapAttempts TrySwapping(const std::wstring& path, const std::wstring& other) {
  SwapAttempts tried{};
  tried.write = ScopedHandle(CreateFileW(path.c_str(), GENERIC_WRITE,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr))
                    .valid();
  tried.replace = MoveFileExW(other.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
  tried.remove = DeleteFileW(path.c_str()) != 0;
  return tried;
}

TEST(KVerifiedPackage, HeldFromTheCheckSoNobodyCanSwapItButItStillRuns) {
  TempFolder folder;
  std::string program;
  ASSERT_TRUE(test::ReadWholeFile(test::BesideThisProgram(L"record_args_exe.exe"), &program));
  const std::wstring path = folder.File(L"setup.exe");
  const std::wstring other = folder.File(L"other.exe");
  ASSERT_TRUE(WriteWholeFile(path, program));
  ASSERT_TRUE(WriteWholeFile(other, "swapped"));
  const std::string digest = Md5ToHex(Md5Of(program.data(), program.size()));

  KVerifiedPackage package;
  ASSERT_TRUE(package.OpenAndVerify(path, std::wstring(digest.begin(), digest.end())));
  ASSERT_TRUE(package.held());
  const SwapAttempts held = TrySwapping(path, other);
  EXPECT_FALSE(held.write);
  EXPECT_FALSE(held.replace);
  EXPECT_FALSE(held.remove);

  // Starting the held file works, and it is the checked program that runs.
  EXPECT_EQ(test::RunProgram(path, L"held"), 0);
  std::string received;
  EXPECT_TRUE(test::ReadWholeFile(path + L".cmdline", &received));
  EXPECT_NE(received.find("held"), std::string::npos) << received;

  package.Release();
  const SwapAttempts released = TrySwapping(path, other);
  EXPECT_TRUE(released.write);
  EXPECT_TRUE(released.replace);
  EXPECT_TRUE(released.remove);
}

TEST(KVerifiedPackage, HoldsNothingOnAMismatch) {
  TempFolder folder;
  const std::wstring path = folder.File(L"setup.exe");
  ASSERT_TRUE(WriteWholeFile(path, "package"));
  KVerifiedPackage package;
  EXPECT_FALSE(package.OpenAndVerify(path, std::wstring(32, L'0')));
  EXPECT_FALSE(package.held());
  EXPECT_FALSE(package.OpenAndVerify(folder.File(L"missing.exe"), std::wstring(32, L'0')));
  EXPECT_FALSE(package.OpenAndVerify(path, L""));
  EXPECT_TRUE(DeleteFileW(path.c_str()));
}

}  // namespace
}  // namespace kbase

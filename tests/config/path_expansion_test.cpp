// Text rules of path variables, configuration references, path utilities and the
// work-folder drive order, with fixed token values and a scripted random source.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "config/path_expansion.h"
#include "config/path_text.h"
#include "config/work_folder_order.h"

namespace kbase {
namespace {

// Token values as a machine might give them; "%APPDATA%" cannot be resolved here.
bool FakeResolve(size_t index, std::wstring* value) {
  static const wchar_t* const kValues[kPathTokenCount] = {
      L"C:\\ProgramData", nullptr,      L"C:\\Temp",  L"C:\\Windows\\system32",
      L"C:\\Windows",     L"D:\\Tools", L"D:\\Tools", L"D:\\Tools",
  };
  if (kValues[index] == nullptr) return false;
  *value = kValues[index];
  return true;
}

TEST(PathExpansion, ResolvesOneTokenKindFillsOneRunAndNormalises) {
  const struct {
    const wchar_t* text;
    bool ok;
    const wchar_t* expanded;
  } kCases[] = {
      {L"%TEMP%\\a\\%TEMP%\\b", true, L"C:\\Temp\\a\\C:\\Temp\\b"},
      {L"%SYSTEM%\\%WINDOWS%", true, L"C:\\Windows\\system32\\%WINDOWS%"},
      {L"%WINDOWS%\\%SYSTEM%", true, L"%WINDOWS%\\C:\\Windows\\system32"},  // table order
      {L"C:/x//y/file.exe", false, L"C:/x//y/file.exe"},
      {L"a?b", false, L"a?b"},  // no token: no random digits either
      {L"", false, L""},
      {L"%temp%\\x", false, L"%temp%\\x"},  // tokens are case-sensitive
      {L"%APPDATA%\\x", false, L"%APPDATA%\\x"},  // cannot be resolved: unchanged
      {L"%APPDATA%%TEMP%", false, L"%APPDATA%%TEMP%"},
      {L"%TEMP%//x\\\\\\y/", true, L"C:\\Temp\\x\\y\\"},
      {L"\\\\server/%TEMP%", true, L"\\server\\C:\\Temp"},  // UNC prefix collapses too
      {L"%CUR_EXE_MODULE%%CUR_DIR%", true, L"D:\\Tools%CUR_DIR%"},
      {L"%TEMP%\\setup_????.exe", true, L"C:\\Temp\\setup_05AF.exe"},
      {L"%TEMP%\\a??b??", true, L"C:\\Temp\\a05b??"},
      {L"?%TEMP%", true, L"0C:\\Temp"},
  };
  for (const auto& c : kCases) {
    const std::vector<int> numbers = {0, 16 + 5, 32767 - 5, 15, 1, 2, 3};
    size_t next = 0;
    std::wstring text = c.text;
    EXPECT_EQ(ExpandPathTokens(&text, &FakeResolve, [&] { return numbers.at(next++); }), c.ok)
        << c.text;
    EXPECT_EQ(text, c.expanded) << c.text;
  }
}

TEST(PathExpansion, ValueHoldingItsOwnTokenIsNotExpandedAgain) {
  std::wstring text = L"%TEMP%;%TEMP%";
  EXPECT_TRUE(ExpandPathTokens(
      &text,
      [](size_t, std::wstring* value) {
        *value = L"x%TEMP%";
        return true;
      },
      [] { return 0; }));
  EXPECT_EQ(text, L"x%TEMP%;x%TEMP%");
}

TEST(ConfigReferences, ReplacesKnownNamesAndResumesAtTheSameIndex) {
  const std::map<std::wstring, std::wstring> kVariables = {
      {L"dir", L"C:\\Suite"}, {L"empty", L""}, {L"ref", L"%#dir%"}};
  const auto lookup = [&](const std::wstring& name, std::wstring* value) {
    const auto found = kVariables.find(name);
    if (found == kVariables.end()) return false;
    *value = found->second;
    return true;
  };
  const struct {
    const wchar_t* text;
    const wchar_t* expanded;
  } kCases[] = {
      {L"%#dir%\\a", L"C:\\Suite\\a"},
      {L"%#dir%\\%#dir%", L"C:\\Suite\\C:\\Suite"},  // every occurrence at once
      {L"%#none%\\%#dir%", L"%#none%\\C:\\Suite"},
      {L"%#empty%x", L"x"},
      {L"%#dir", L"%#dir"},
      {L"%#%", L"%#%"},
      {L"%#ref%", L"%#dir%"},  // a value is not scanned again
      // The scan goes on at the index after the old reference, in the shorter text:
      // "%#dir%" now starts before it and stays.
      {L"%#empty%%#dir%", L"%#dir%"},
      {L"", L""},
  };
  for (const auto& c : kCases) {
    std::wstring text = c.text;
    ExpandConfigReferences(&text, lookup);
    EXPECT_EQ(text, c.expanded) << c.text;
  }
}

TEST(PathText, QuotesBackslashesAndSeparators) {
  const struct {
    const wchar_t* text;
    const wchar_t* unquoted;
    const wchar_t* no_trailing;
    const wchar_t* normalised;
    const wchar_t* with_trailing;
  } kCases[] = {
      {L"\"C:\\a\\\"", L"C:\\a\\", L"\"C:\\a\\\"", L"\"C:\\a\\\"", L"\"C:\\a\\\"\\"},
      {L"C:\\a\\\\", L"C:\\a\\\\", L"C:\\a\\", L"C:\\a\\", L"C:\\a\\"},
      {L"C:/a/", L"C:/a/", L"C:/a/", L"C:\\a\\", L"C:\\a\\"},
      {L"\"", L"", L"\"", L"\"", L"\"\\"},
      {L"\"\"x", L"\"x", L"\"\"x", L"\"\"x", L"\"\"x\\"},
      {L"", L"", L"", L"", L"\\"},
  };
  for (const auto& c : kCases) {
    std::wstring text = c.text;
    StripQuotes(&text);
    EXPECT_EQ(text, c.unquoted) << c.text;
    text = c.text;
    StripTrailingBackslash(&text);
    EXPECT_EQ(text, c.no_trailing) << c.text;
    text = c.text;
    NormalizeSeparators(&text);
    EXPECT_EQ(text, c.normalised) << c.text;
    text = c.text;
    AddTrailingBackslash(&text);
    EXPECT_EQ(text, c.with_trailing) << c.text;
  }
}

TEST(WorkFolderOrder, MostSpaceFirstSmallDrivesDroppedSystemDriveLast) {
  constexpr uint64_t kMb = 1048576;
  const auto roots = [](const std::vector<DriveCandidate>& drives) {
    std::wstring text;
    for (const auto& d : drives) text += d.root.substr(0, 1);
    return text;
  };
  const struct {
    std::vector<DriveCandidate> drives;
    uint64_t minimum;
    const wchar_t* order;
  } kCases[] = {
      {{{L"C:\\", 900 * kMb}, {L"D:\\", 500 * kMb}, {L"E:\\", 0}}, 200 * kMb, L"DC"},
      {{{L"C:\\", 900 * kMb}}, 200 * kMb, L"C"},
      {{{L"C:\\", 100 * kMb}, {L"D:\\", 199 * kMb}}, 200 * kMb, L""},
      {{{L"D:\\", 200 * kMb}, {L"C:\\", 300 * kMb}}, 200 * kMb, L"DC"},
      {{{L"E:\\", 5 * kMb}, {L"D:\\", 5 * kMb}, {L"F:\\", 9 * kMb}}, 0, L"FED"},  // ties keep order
      {{{L"C:\\", 0}, {L"D:\\", 0}}, 0, L"DC"},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(roots(OrderWorkFolderCandidates(c.drives, c.minimum, L"C:\\")), c.order)
        << c.order;
  }
}

}  // namespace
}  // namespace kbase

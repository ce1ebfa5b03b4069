// Path variables, registry roots, the reboot marker, the write-access probe and the
// work-folder choice on this machine (Wine).
#include <gtest/gtest.h>
#include <windows.h>

#include <cwctype>
#include <set>
#include <string>

#include "config/directory_tree.h"
#include "config/path_variables.h"
#include "config/product_registry.h"
#include "config/registry_keys.h"
#include "config/registry_root.h"
#include "config/windows_bitness.h"
#include "config/work_folder.h"
#include "support/win_test_util.h"

namespace kbase {
namespace {

std::wstring Environment(const wchar_t* token) {
  wchar_t buffer[MAX_PATH] = {};
  ::ExpandEnvironmentStringsW(token, buffer, MAX_PATH);
  return buffer;
}

std::wstring ProgramFolder() {
  std::wstring path = test::BesideThisProgram(L"");
  while (!path.empty() && path.back() == L'\\') path.pop_back();
  return path;
}

TEST(PathVariables, BuiltInTokensResolveToThisMachine) {
  wchar_t system[MAX_PATH] = {}, windows[MAX_PATH] = {};
  ::GetSystemDirectoryW(system, MAX_PATH);
  ::GetWindowsDirectoryW(windows, MAX_PATH);
  const struct {
    const wchar_t* token;
    std::wstring value;
  } kCases[] = {
      {L"%ALLUSERSPROFILE%", Environment(L"%ALLUSERSPROFILE%")},
      {L"%APPDATA%", Environment(L"%APPDATA%")},
      {L"%TEMP%", Environment(L"%TEMP%")},
      {L"%SYSTEM%", system},
      {L"%WINDOWS%", windows},
      {L"%CUR_MODULE%", ProgramFolder()},  // one file: the module is the program
      {L"%CUR_EXE_MODULE%", ProgramFolder()},
      {L"%CUR_DIR%", ProgramFolder()},
  };
  for (const auto& c : kCases) {
    std::wstring text = std::wstring(c.token) + L"/x";
    ASSERT_TRUE(ExpandPathVariables(&text)) << c.token;
    std::wstring expected = c.value + L"\\x";
    while (expected.find(L"\\\\") != std::wstring::npos) {
      expected.replace(expected.find(L"\\\\"), 2, L"\\");
    }
    EXPECT_EQ(text, expected) << c.token;
    EXPECT_NE(c.value.back(), L'\\') << c.token;
  }
}

TEST(PathVariables, RandomRunAndOneKindPerCall) {
  std::wstring text = L"%TEMP%\\setup_????.exe";
  ASSERT_TRUE(ExpandPathVariables(&text));
  const std::wstring folder = Environment(L"%TEMP%");
  ASSERT_EQ(text.size(), folder.size() + 15);
  for (size_t i = folder.size() + 7; i < folder.size() + 11; ++i) {
    EXPECT_TRUE(std::iswxdigit(text[i]) && !std::iswlower(text[i])) << text;
  }

  text = L"%SYSTEM%\\%WINDOWS%";
  ASSERT_TRUE(ExpandPathVariables(&text));
  EXPECT_NE(text.find(L"\\%WINDOWS%"), std::wstring::npos) << text;

  text = L"C:/x//y/file.exe";
  EXPECT_FALSE(ExpandPathVariables(&text));
  EXPECT_EQ(text, L"C:/x//y/file.exe");

  // An environment value longer than the path limit cannot be used.
  ASSERT_TRUE(::SetEnvironmentVariableW(L"TEMP", std::wstring(300, L'x').c_str()));
  text = L"%TEMP%\\a";
  EXPECT_FALSE(ExpandPathVariables(&text));
  EXPECT_EQ(text, L"%TEMP%\\a");
  ASSERT_TRUE(::SetEnvironmentVariableW(L"TEMP", std::wstring(258, L'y').c_str()));
  EXPECT_TRUE(ExpandPathVariables(&text));
  ASSERT_TRUE(::SetEnvironmentVariableW(L"TEMP", folder.c_str()));
}

TEST(RegistryRoot, ShortAndLongNames) {
  EXPECT_EQ(ShortRegistryRoot(L"HKLM"), HKEY_LOCAL_MACHINE);
  EXPECT_EQ(ShortRegistryRoot(L"hkcr"), HKEY_CLASSES_ROOT);
  EXPECT_EQ(ShortRegistryRoot(L"hkcu"), HKEY_CURRENT_USER);
  EXPECT_EQ(ShortRegistryRoot(L"Hkus"), HKEY_USERS);
  EXPECT_EQ(ShortRegistryRoot(L"hkcc"), nullptr);
  EXPECT_EQ(ShortRegistryRoot(L"hklm\\"), nullptr);

  const struct {
    const wchar_t* path;
    HKEY root;
    const wchar_t* subkey;
  } kCases[] = {
      {L"HKEY_LOCAL_MACHINE\\SOFTWARE\\x", HKEY_LOCAL_MACHINE, L"SOFTWARE\\x"},
      {L"hkey_current_user\\a", HKEY_CURRENT_USER, L"a"},
      {L"HKEY_USERS", HKEY_USERS, L""},
      {L"HKEY_USERS\\", HKEY_USERS, L""},
      {L"HKEY_CLASSES_ROOTX\\a", HKEY_CLASSES_ROOT, L"a"},  // a prefix test
      {L"HKEY_PERFORMANCE_NLSTEXT\\a", HKEY_PERFORMANCE_NLSTEXT, L"a"},
      {L"HKEY_CURRENT_CONFIG\\a\\b", HKEY_CURRENT_CONFIG, L"a\\b"},
      {L"HKEY_DYN_DATA\\a", HKEY_DYN_DATA, L"a"},
      {L"HKLM\\a", nullptr, L"a"},
      {L"", nullptr, L""},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(ParseRegistryRoot(c.path), c.root) << c.path;
    EXPECT_EQ(RegistrySubkey(c.path), c.subkey) << c.path;
  }
}

TEST(ProductRegistry, RebootMarkerAndUninstallCount) {
  EXPECT_TRUE(IsWindows64Bit());  // a 64-bit process
  EXPECT_FALSE(IsRebootPending());
  HKEY key = nullptr;
  ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kNeedRebootKey, 0, nullptr, 0, KEY_WRITE,
                              nullptr, &key, nullptr), ERROR_SUCCESS);
  ::RegCloseKey(key);
  EXPECT_TRUE(IsRebootPending());
  ASSERT_EQ(::RegDeleteKeyW(HKEY_LOCAL_MACHINE, kNeedRebootKey), ERROR_SUCCESS);
  EXPECT_FALSE(IsRebootPending());

  EXPECT_EQ(ReadUninstallCount(), 0u);
  ASSERT_EQ(::RegCreateKeyExW(HKEY_CLASSES_ROOT, kUninstallHistoryKey, 0, nullptr, 0,
                              KEY_WRITE, nullptr, &key, nullptr), ERROR_SUCCESS);
  const DWORD three = 3;
  ::RegSetValueExW(key, L"uninstall_count", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&three),
                   sizeof(three));
  EXPECT_EQ(ReadUninstallCount(), 3u);  // from the second place
  ::RegDeleteValueW(key, L"uninstall_count");
  ::RegCloseKey(key);
}

TEST(DirectoryWritable, ProbeFolderIsRemovedAndAnExistingOneCountsAsWritable) {
  test::TempFolder folder;
  const std::wstring dir = folder.path().substr(0, folder.path().size() - 1);
  EXPECT_TRUE(IsDirectoryWritable(dir));
  EXPECT_FALSE(test::FileExists(dir + L"\\access"));
  ASSERT_TRUE(::CreateDirectoryW((dir + L"\\access").c_str(), nullptr));
  EXPECT_TRUE(IsDirectoryWritable(dir));
  EXPECT_TRUE(test::FileExists(dir + L"\\access"));  // not ours to remove
  ::RemoveDirectoryW((dir + L"\\access").c_str());
  EXPECT_TRUE(IsDirectoryWritable(dir + L"\\missing"));  // path not found is not a denial
}

TEST(WorkFolder, WineDrivesGiveTheSystemDrive) {
  // Wine's drives C: and Z: are both fixed with the host's free space. Z: comes first
  // (the system drive goes last) but its device does not open; C: answers the storage
  // query with a bus other than USB.
  EXPECT_FALSE(IsInternalFixedDrive(L"Z:"));
  EXPECT_TRUE(IsInternalFixedDrive(L"C:"));
  const std::wstring folder = ChooseWorkFolder(200);
  EXPECT_EQ(folder, L"c:\\kinsttemp\\");
  EXPECT_TRUE(test::FileExists(folder));
  ::RemoveDirectoryW(folder.c_str());
  EXPECT_EQ(ChooseWorkFolder(0xFFFFFFFFu), L"");  // no drive has 4 PB free
}

}  // namespace
}  // namespace kbase

// How registry texts become install folders, and the product table's registry branches.
#include <gtest/gtest.h>

#include "probe/survey_rules.h"

namespace kbase {
namespace {

TEST(SurveyRules, UninstallFolderFromFilePathValues) {
  struct Case {
    const wchar_t* value;
    const wchar_t* folder;
  } cases[] = {
      {L"C:\\Program Files\\DriverGenius\\drivergenius.exe", L"C:\\Program Files\\DriverGenius\\"},
      {L"\"C:\\Baidu\\BaiduSd\\Uninstall.EXE\"", L"C:\\Baidu\\BaiduSd\\"},
      {L"C:\\Tools\\readme.TXT", L"C:\\Tools\\"},
      {L"C:\\Tools\\icon.ico", L"C:\\Tools\\"},
      {L"C:\\Tools\\lib.Dll\\", L"C:\\Tools\\"},
      {L"C:\\Huorong\\Sysdiag", L"C:\\Huorong\\Sysdiag\\"},  // a folder already
      {L"\\\\\"C:\\2345Explorer\\\"\\\\", L"C:\\2345Explorer\\"},
      // An icon index after the quoted file name hides the extension: nothing is removed.
      {L"\"C:\\DG\\drivergenius.exe\",0", L"C:\\DG\\drivergenius.exe\",0\\"},
      {L"setup.exe", L""},  // no folder part left
      {L"\"\"\\\\", L""},
      {L"", L""},
  };
  for (const auto& c : cases) EXPECT_EQ(UninstallFolderText(c.value), c.folder) << c.value;
}

TEST(SurveyRules, RegistryFolderSeparators) {
  EXPECT_EQ(RegistryFolderText(L"C:\\Rising"), L"C:\\Rising\\");
  EXPECT_EQ(RegistryFolderText(L""), L"");
  EXPECT_EQ(FolderWithSeparator(L"D:\\360\\360Safe"), L"D:\\360\\360Safe\\");
  EXPECT_EQ(FolderWithSeparator(L"D:\\360\\360Safe\\"), L"D:\\360\\360Safe\\");
  EXPECT_EQ(FolderWithSeparator(L"D:/360/360Safe/"), L"D:/360/360Safe/");
  EXPECT_EQ(FolderWithSeparator(L""), L"");
}

TEST(SurveyRules, MembersInTestOrder) {
  const wchar_t* const expected[] = {L"360safe", L"tovel", L"qdjl", L"BaiDuAntivirus",
                                     L"BaiDuSafe", L"QQGuanJia", L"RuiXing", L"2345Explorer",
                                     L"huorong"};
  const auto products = SurveyProducts(true);
  ASSERT_EQ(products.size(), 9u);
  for (size_t i = 0; i < products.size(); ++i) EXPECT_EQ(products[i].member, expected[i]);
}

TEST(SurveyRules, ThirtyTwoBitBranchOnlyOnSixtyFourBitProcessors) {
  for (const bool processor64 : {false, true}) {
    for (const SurveyProduct& product : SurveyProducts(processor64)) {
      bool uses_wow_branch = false;
      for (const RegistryText& location : product.locations) {
        uses_wow_branch = uses_wow_branch || location.key.find(L"Wow6432Node") != std::wstring::npos;
      }
      const bool switches = product.member == L"360safe" || product.member == L"QQGuanJia" ||
                            product.member == L"RuiXing" ||
                            product.member.compare(0, 5, L"BaiDu") == 0;
      EXPECT_EQ(uses_wow_branch, processor64 && switches) << product.member;
    }
  }
  // Baidu: the plain uninstall key first, the 32-bit branch only as a second try.
  const auto products = SurveyProducts(true);
  ASSERT_EQ(products[3].locations.size(), 2u);
  EXPECT_EQ(products[3].locations[0].key.find(L"Wow6432Node"), std::wstring::npos);
  EXPECT_EQ(SurveyProducts(false)[3].locations.size(), 1u);
  EXPECT_EQ(products[0].services.size(), 2u);
  EXPECT_EQ(products[6].services, std::vector<std::wstring>{L"rsravmon"});
}

}  // namespace
}  // namespace kbase

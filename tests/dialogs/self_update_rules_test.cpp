// The self-update's text rules: the update information's address from the build's host
// setting, and the name a newer build is stored under.
#include <gtest/gtest.h>

#include "dialogs/self_update_rules.h"

namespace kbase {
namespace {

TEST(SelfUpdateRules, InformationUrlFromBareHostsAndFullAddresses) {
  const struct {
    const char* host;
    const char* url;
  } cases[] = {
      {"update.vesmark.com", "http://update.vesmark.com/defend/o1/jcqgx.ini"},
      {"127.0.0.1:18080", "http://127.0.0.1:18080/defend/o1/jcqgx.ini"},
      {"https://update.vesmark.com", "https://update.vesmark.com/defend/o1/jcqgx.ini"},
      {"HTTPS://update.vesmark.com:8443/", "HTTPS://update.vesmark.com:8443/defend/o1/jcqgx.ini"},
      {"http://10.0.0.1//", "http://10.0.0.1/defend/o1/jcqgx.ini"},
      // A scheme-like host name without "://" is a host name.
      {"https.example", "http://https.example/defend/o1/jcqgx.ini"},
      {"", ""},
      {"/", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(UpdateInformationUrl(c.host), c.url) << c.host;
}

TEST(SelfUpdateRules, BackupNameInsertsBeforeTheLastDot) {
  const struct {
    const wchar_t* name;
    const wchar_t* backup;
  } cases[] = {
      {L"setup.exe", L"setup.bak.exe"},
      {L"kinst_186_f336_k0001.1.exe", L"kinst_186_f336_k0001.1.bak.exe"},
      {L"setup", L""},
      {L".exe", L".bak.exe"},
      {L"setup.", L"setup.bak."},
      {L"", L""},
  };
  for (const auto& c : cases) EXPECT_EQ(BackupProgramName(c.name), c.backup);
}

TEST(SelfUpdateRules, FileNameAfterTheLastSeparator) {
  EXPECT_EQ(PathFileName(L"C:\\a b\\setup.exe"), L"setup.exe");
  EXPECT_EQ(PathFileName(L"C:/x\\y/setup.exe"), L"setup.exe");
  EXPECT_EQ(PathFileName(L"setup.exe"), L"setup.exe");
  EXPECT_EQ(PathFileName(L"C:\\folder\\"), L"");
}

}  // namespace
}  // namespace kbase

// The channel configuration under Wine: documents signed at test time with the test key
// and served by the local test server, their structure and validity rules, hostile
// bodies, condition codes, configuration variables and the uninstall interval test.
#include <gtest/gtest.h>
#include <winsock2.h>
#include <windows.h>

#include <ctime>
#include <memory>
#include <regex>
#include <string>
#include <tinyxml.h>

#include "common/codec/base64.h"
#include "config/boolean_evaluator.h"
#include "config/install_config_mgr.h"
#include "config/fixed_leaf_factory.h"
#include "config/registry_keys.h"
#include "support/http_test_server.h"
#include "test_keys.h"
#include "tools/sign/transport_signer.h"

namespace kbase {
namespace {

using test::FixedLeafFactory;

constexpr char kDocument[] = R"xml(<?xml version="1.0" encoding="utf-8"?>
<root>
  <variable>
    <item mode="regfile" name="dir" mainkey="HKCU" subkey="Software\kinsttest" keyname="dir"/>
    <item mode="file" name="other" mainkey="hkcu" subkey="Software\kinsttest" keyname="dir"/>
  </variable>
  <check>
    <item id="1" name="holds" value="1"><leaf mode="fixed" id="1" result="1"/></item>
    <item id="2" name="fails" value="1"><leaf mode="FIXED" id="1" result="0"/></item>
    <item id="3" name="spaced" value="1 &amp; 1"><leaf mode="fixed" id="1" result="1"/></item>
    <item id="3" name="second" value="1"><leaf mode="fixed" id="1" result="0"/></item>
    <item id="4" name="unknown kind" value="1"><leaf mode="kernel" id="1" result="0"/></item>
    <item id="5" name="missing leaf" value="1&amp;2"><leaf mode="fixed" id="1" result="0"/></item>
    <item id="6" value="1"><leaf mode="fixed" id="1" result="0"/></item>
    <item id="7" name="unbalanced" value="(1"><leaf mode="fixed" id="1" result="0"/></item>
    <item id="8" name="letters" value="a"><leaf mode="fixed" id="1" result="0"/></item>
    <item id="9" name="deep" value="DEEP"><leaf mode="fixed" id="1" result="0"/></item>
    <item id="10" name="no leaf mode" value="1"><leaf id="1" result="0"/></item>
  </check>
  <install>
    <company id="186" version="3">
      <tryno id="336" version="2" Interval="30" condition="1&amp;~2" softname="suite">
        <dlfile url="http://cdn/p.exe" md5="ABC" moduletype="exe" path="%TEMP%\p.exe"
                downloadtype="1" param="-x" uninitfuncname="Stop"/>
        <dlfile url="u" md5="m" moduletype="dll" path="p" downloadtype="2" param="q"
                funcname="Run" initfuncname="Init" waitexit="1" sd="2" ndp="3"
                downloadtime="40x" condition="2" tovelpack="0" show="-5" showpop="1"
                delaydownload="1" istoveldownloadswitch="7"/>
        <dlfile url="u" md5="m" moduletype="exe" path="p"/>
      </tryno>
      <tryno id="337" version="0"><dlfile url="u" md5="m" moduletype="exe" path="p" downloadtype="1"/></tryno>
      <tryno id="338" version="1"><dlfile url="u" md5="m" moduletype="exe" path="p"/></tryno>
      <tryno id="339" version="1" Interval="-1"><dlfile url="u" md5="m" moduletype="exe" path="p" downloadtype="1"/></tryno>
      <tryno id="5" version="1" softname="first"><dlfile url="u" md5="m" moduletype="exe" path="p" downloadtype="1"/></tryno>
      <tryno id="5" version="1" softname="second"><dlfile url="u" md5="m" moduletype="exe" path="p" downloadtype="1"/></tryno>
      <tryno id="6" version="0" softname="invalid"><dlfile url="u" md5="m" moduletype="exe" path="p" downloadtype="1"/></tryno>
      <tryno id="6" version="1" softname="valid"><dlfile url="u" md5="m" moduletype="exe" path="p" downloadtype="1"/></tryno>
    </company>
    <company id="187" version="1"/>
  </install>
  <run>
    <item path="%TEMP%\a.exe" param="a#@#b#@#" condition="1"/>
    <item param="no path"/>
    <item path="b.exe"/>
  </run>
</root>
)xml";

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  const size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

std::string DeepValue() {
  return std::string(kMaxConditionNesting + 1, '(') + "1" +
         std::string(kMaxConditionNesting + 1, ')');
}

std::string Document() { return Replace(kDocument, "DEEP", DeepValue()); }

class InstallConfigTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server_.Start());
    std::string error;
    signer_ = TransportSigner::FromPem(kTestPrivateKeyPem, &error);
    ASSERT_NE(signer_, nullptr) << error;
    config_.SetHostForTesting(server_.Host());
  }

  int LoadBody(const std::string& body, int32_t scene = 0) {
    test::HttpResponse response;
    response.body = body;
    server_.Serve(scene == 0 ? "/seminstall/186/336.xml" : "/seminstall/186/336_1.xml",
                  response);
    return config_.Load(186, 336, scene);
  }
  int LoadText(const std::string& xml) { return LoadBody(signer_->Sign(xml)); }

  test::HttpTestServer server_;
  std::unique_ptr<TransportSigner> signer_;
  KInstallConfigMgr config_{std::make_unique<FixedLeafFactory>()};
};

TEST_F(InstallConfigTest, DocumentPathCarriesChannelSceneAndTime) {
  EXPECT_EQ(KInstallConfigMgr::DocumentPath(186, 336, 1, 1700000000),
            "/seminstall/186/336_1.xml?time=1700000000");
  EXPECT_EQ(KInstallConfigMgr::DocumentPath(186, 336, 0, 0x100000005LL),
            "/seminstall/186/336.xml?time=5");
  EXPECT_EQ(KInstallConfigMgr::DocumentPath(-1, 0, 0, 0xFFFFFFFFLL),
            "/seminstall/-1/0.xml?time=-1");

  ASSERT_EQ(LoadBody(signer_->Sign(Document()), 1), 0);
  const auto requests = server_.RequestsFor("/seminstall/186/336_1.xml");
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_TRUE(std::regex_match(requests[0].target,
                               std::regex(R"(/seminstall/186/336_1\.xml\?time=-?\d+)")))
      << requests[0].target;
}

TEST_F(InstallConfigTest, LoadsChannelsEntriesAndRunItemsByTheValidityRules) {
  ASSERT_EQ(LoadText(Document()), 0);
  ASSERT_NE(config_.company(), nullptr);
  EXPECT_EQ(config_.company()->id, 186);  // the first company

  const KTrynoNode* tryno = config_.FindTryno(336);
  ASSERT_NE(tryno, nullptr);
  EXPECT_EQ(tryno->version, 2);
  EXPECT_EQ(tryno->Interval, 30);
  EXPECT_EQ(tryno->condition, "1&~2");
  EXPECT_EQ(tryno->softname, "suite");
  ASSERT_EQ(tryno->entries.size(), 2u);  // the one without downloadtype is dropped
  EXPECT_EQ(tryno->EntryAt(2), nullptr);
  EXPECT_EQ(tryno->EntryAt(-1), nullptr);

  const KDownloadEntry& first = *tryno->EntryAt(0);
  EXPECT_EQ(first.url, "http://cdn/p.exe");
  EXPECT_EQ(first.md5, "ABC");
  EXPECT_EQ(first.path, "%TEMP%\\p.exe");
  EXPECT_EQ(first.param, "-x");
  EXPECT_EQ(first.uninitfuncname, "");  // never taken over
  EXPECT_EQ(first.tovelpack, 1);         // absent
  EXPECT_EQ(first.downloadtime, 0);

  const KDownloadEntry& second = *tryno->EntryAt(1);
  EXPECT_EQ(second.moduletype, "dll");
  EXPECT_EQ(second.downloadtype, "2");
  EXPECT_EQ(second.funcname, "Run");
  EXPECT_EQ(second.initfuncname, "Init");
  EXPECT_EQ(second.waitexit, 1);
  EXPECT_EQ(second.sd, 2);
  EXPECT_EQ(second.ndp, 3);
  EXPECT_EQ(second.downloadtime, 40);  // leading digits
  EXPECT_EQ(second.condition, "2");
  EXPECT_EQ(second.tovelpack, 0);
  EXPECT_EQ(second.show, -5);
  EXPECT_EQ(second.showpop, 1);
  EXPECT_EQ(second.delaydownload, 1);
  EXPECT_EQ(second.istoveldownloadswitch, 7);

  EXPECT_EQ(config_.FindTryno(337), nullptr);  // version 0
  EXPECT_EQ(config_.FindTryno(338), nullptr);  // its only entry lacks downloadtype
  EXPECT_EQ(config_.FindTryno(339), nullptr);  // negative Interval
  ASSERT_NE(config_.FindTryno(5), nullptr);
  EXPECT_EQ(config_.FindTryno(5)->softname, "first");
  ASSERT_NE(config_.FindTryno(6), nullptr);
  EXPECT_EQ(config_.FindTryno(6)->softname, "valid");
  EXPECT_EQ(config_.FindTryno(187), nullptr);

  const auto& run = config_.run_list();
  ASSERT_EQ(run.size(), 2u);
  EXPECT_EQ(run[0]->param, "a\"b\"");
  EXPECT_EQ(run[0]->condition, "1");
  EXPECT_EQ(run[1]->path, "b.exe");
  EXPECT_EQ(run[1]->param, "");
  EXPECT_EQ(run[1]->condition, "");
}

TEST_F(InstallConfigTest, ConditionCodesOfTheLoadedItems) {
  EXPECT_EQ(config_.EvaluateCondition("1"), 201);  // nothing loaded
  EXPECT_EQ(config_.EvaluateCondition(""), 201);
  ASSERT_EQ(LoadText(Document()), 0);
  // Items 1, 2, 3 (the second), 5 and 9: the deep one is well formed, just not evaluable.
  EXPECT_EQ(config_.check_parser()->items().size(), 5u);
  const struct {
    std::string condition;
    int code;
  } kCases[] = {
      {"", 0},
      {"1&~2", 0},
      {"2", 200},     // leaf mode in capitals is accepted
      {"3", 200},     // the first item 3 was dropped for its spaces
      {"~4", 0},      // dropped for its unknown leaf kind: satisfied, not negated
      {"~5", 0},      // does not evaluate: satisfied, not negated
      {"~6", 0},      // no name
      {"~7", 0},      // unbalanced
      {"~8", 0},      // letters
      {"~9", 0},      // nested too deep to evaluate
      {"~10", 0},     // leaf without a mode
      {"1 & 2", 204},
      {"1&b", 204},
      {"1&(2", 202},
      {"1&" + std::string(33, '1'), 202},
      {DeepValue(), 202},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(config_.EvaluateCondition(c.condition), c.code) << c.condition;
  }
}

TEST_F(InstallConfigTest, HostileBodiesAndDocumentsGiveTheirCodes) {
  const std::string blocks = signer_->SignBlocks(Document());
  std::string tampered_second = blocks;
  tampered_second[kRsaBlockSize + 5] ^= 0x01;
  std::string tampered_first = blocks;
  tampered_first[0] ^= 0x80;
  const std::string valid_company = R"(<company id="1" version="1"><tryno id="1" version="1">)"
                                    R"(<dlfile url="u" md5="m" moduletype="exe" path="p" )"
                                    R"(downloadtype="1"/></tryno></company>)";
  const struct {
    const char* what;
    std::string body;
    int code;
  } kCases[] = {
      {"empty body", "", 50},
      {"five Base64 characters", "QUJDR", 101},
      {"trailing line break", signer_->Sign(Document()) + "\r\n", 101},
      {"not Base64", std::string(256, '*'), 101},
      {"a partial first block", Base64Encode(blocks.substr(0, 100)), 101},
      {"last block cut short", Base64Encode(blocks.substr(0, blocks.size() - 1)), 100},
      {"tampered second block", Base64Encode(tampered_second), 100},
      {"tampered first block", Base64Encode(tampered_first), 101},
      {"not XML", signer_->Sign("<root><check></root>"), 100},
      {"root named otherwise", signer_->Sign(Replace(Replace(Document(), "<root>", "<config>"),
                                                     "</root>", "</config>")),
       100},
      {"no check", signer_->Sign("<root><install>" + valid_company + "</install></root>"), 100},
      {"no install", signer_->Sign("<root><check/><company/></root>"), 100},
      {"no company", signer_->Sign("<root><check/><install/></root>"), 100},
      {"company id 0", signer_->Sign(Replace(Document(), "company id=\"186\"", "company id=\"0\"")),
       100},
      {"company without version",
       signer_->Sign(Replace(Document(), "id=\"186\" version=\"3\"", "id=\"186\"")), 100},
      {"company without a valid tryno",
       signer_->Sign("<root><check/><install><company id=\"1\" version=\"1\"><tryno id=\"1\" "
                     "version=\"0\"/></company></install></root>"),
       100},
      {"smallest valid", signer_->Sign("<root><check/><install>" + valid_company +
                                       "</install></root>"),
       0},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(LoadBody(c.body), c.code) << c.what;
  }

  test::HttpResponse missing;
  missing.status = 404;
  missing.body = signer_->Sign(Document());
  server_.Serve("/seminstall/186/336.xml", missing);
  EXPECT_EQ(config_.Load(186, 336, 0), 50);
}

TEST_F(InstallConfigTest, FailedLoadKeepsWhatItDidNotReach) {
  ASSERT_EQ(LoadText(Document()), 0);
  // No "check": the old items and company stay; variables and run list are replaced.
  EXPECT_EQ(LoadText("<root><run><item path=\"x\"/></run></root>"), 100);
  EXPECT_NE(config_.FindTryno(336), nullptr);
  EXPECT_EQ(config_.EvaluateCondition("2"), 200);
  EXPECT_TRUE(config_.run_list().empty());
  EXPECT_TRUE(config_.variable_parser()->items().empty());
  // An invalid company replaces the old one and is kept.
  EXPECT_EQ(LoadText("<root><check/><install><company id=\"9\"/></install></root>"), 100);
  EXPECT_EQ(config_.FindTryno(336), nullptr);
  EXPECT_EQ(config_.EvaluateCondition("2"), 0);  // the new, empty check section
}

// Registry fixture values under HKCU\Software\kinsttest and HKLM in both views.
class RegistryFixture {
 public:
  ~RegistryFixture() {
    ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\kinsttest");
    DeleteLocalMachineKey(KEY_WOW64_64KEY);
    DeleteLocalMachineKey(KEY_WOW64_32KEY);
  }
  static bool Set(HKEY root, const wchar_t* subkey, REGSAM view, const wchar_t* name,
                  DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    if (::RegCreateKeyExW(root, subkey, 0, nullptr, 0, KEY_WRITE | view, nullptr, &key,
                          nullptr) != ERROR_SUCCESS) {
      return false;
    }
    const LONG result =
        ::RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size);
    ::RegCloseKey(key);
    return result == ERROR_SUCCESS;
  }
  static bool SetText(const wchar_t* name, const std::wstring& text, DWORD type = REG_SZ) {
    return Set(HKEY_CURRENT_USER, L"Software\\kinsttest", 0, name, type, text.c_str(),
               static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  }

 private:
  static void DeleteLocalMachineKey(REGSAM view) {
    HKEY software = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software", 0, KEY_ALL_ACCESS | view,
                        &software) == ERROR_SUCCESS) {
      ::RegDeleteTreeW(software, L"kinsttest");
      ::RegCloseKey(software);
    }
  }
};

TEST_F(InstallConfigTest, ConfigurationVariablesExpandFromTheRegistry) {
  RegistryFixture registry;
  ASSERT_TRUE(RegistryFixture::SetText(L"dir", L"\"C:\\Program Files\\Suite\\\""));
  ASSERT_EQ(LoadText(Document()), 0);
  ASSERT_EQ(config_.variable_parser()->items().size(), 1u);  // mode "file" is dropped

  const struct {
    const wchar_t* text;
    const wchar_t* expanded;
  } kCases[] = {
      {L"%#dir%\\a.exe", L"C:\\Program Files\\Suite\\a.exe"},
      // No built-in token: separators stay as written.
      {L"%#dir%/x/%#dir%", L"C:\\Program Files\\Suite/x/C:\\Program Files\\Suite"},
      {L"%#dir%//%WINDOWS%", L"C:\\Program Files\\Suite\\C:\\windows"},
      {L"%#other%\\a", L"%#other%\\a"},  // no such variable: literal, no normalisation
      {L"%#unknown%//%#dir%", L"%#unknown%//C:\\Program Files\\Suite"},
      {L"%#dir", L"%#dir"},              // no closing "%"
      {L"", L""},
  };
  for (const auto& c : kCases) {
    std::wstring text = c.text;
    config_.ExpandVariables(&text);
    EXPECT_EQ(text, c.expanded) << c.text;
  }

  ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\kinsttest");
  std::wstring text = L"%#dir%\\a.exe";
  config_.ExpandVariables(&text);
  EXPECT_EQ(text, L"\\a.exe");  // unreadable: empty, not the literal reference
}

TEST(VariableValue, HostileAndOrdinaryRegistryValues) {
  RegistryFixture registry;
  const std::wstring long_text(300, L'x');  // 602 bytes: more than the value buffer
  ASSERT_TRUE(RegistryFixture::SetText(L"long", long_text));
  ASSERT_TRUE(RegistryFixture::SetText(L"fits", std::wstring(259, L'y')));
  ASSERT_TRUE(RegistryFixture::SetText(L"expand", L"%TEMP%\\x", REG_EXPAND_SZ));
  const wchar_t multi[] = L"first\0second\0";
  ASSERT_TRUE(RegistryFixture::Set(HKEY_CURRENT_USER, L"Software\\kinsttest", 0, L"multi",
                                   REG_MULTI_SZ, multi, sizeof(multi)));
  const DWORD dword = static_cast<DWORD>(-5);
  ASSERT_TRUE(RegistryFixture::Set(HKEY_CURRENT_USER, L"Software\\kinsttest", 0, L"dword",
                                   REG_DWORD, &dword, sizeof(dword)));
  const int64_t qword = -9000000000LL;
  ASSERT_TRUE(RegistryFixture::Set(HKEY_CURRENT_USER, L"Software\\kinsttest", 0, L"qword",
                                   REG_QWORD, &qword, sizeof(qword)));
  ASSERT_TRUE(RegistryFixture::Set(HKEY_CURRENT_USER, L"Software\\kinsttest", 0, L"short",
                                   REG_DWORD, "\x01\x02", 2));
  ASSERT_TRUE(RegistryFixture::Set(HKEY_CURRENT_USER, L"Software\\kinsttest", 0, L"binary",
                                   REG_BINARY, "abcd", 4));
  // Three bytes, no terminating zero: one whole character.
  ASSERT_TRUE(RegistryFixture::Set(HKEY_CURRENT_USER, L"Software\\kinsttest", 0, L"odd",
                                   REG_SZ, "A\0B", 3));
  ASSERT_TRUE(RegistryFixture::SetText(L"quote", L"\""));

  const struct {
    const wchar_t* keyname;
    std::wstring value;
  } kCases[] = {
      {L"long", L""},
      {L"fits", std::wstring(259, L'y')},
      {L"expand", L"%TEMP%\\x"},  // not expanded
      {L"multi", L"first"},
      {L"dword", L"-5"},
      {L"qword", L"-9000000000"},
      {L"short", L""},
      {L"binary", L""},
      {L"odd", L"A"},
      {L"quote", L""},
      {L"absent", L""},
  };
  for (const auto& c : kCases) {
    KVariableItem item;
    item.root = HKEY_CURRENT_USER;
    item.subkey = L"Software\\kinsttest";
    item.keyname = c.keyname;
    EXPECT_EQ(ReadVariableValue(item), c.value) << c.keyname;
  }
}

TEST(VariableValue, RegistryViewFollowsTheWow64Attribute) {
  RegistryFixture registry;
  ASSERT_TRUE(RegistryFixture::Set(HKEY_LOCAL_MACHINE, L"Software\\kinsttest", KEY_WOW64_64KEY,
                                   L"view", REG_SZ, L"64", 6));
  ASSERT_TRUE(RegistryFixture::Set(HKEY_LOCAL_MACHINE, L"Software\\kinsttest", KEY_WOW64_32KEY,
                                   L"view", REG_SZ, L"32", 6));
  ASSERT_TRUE(RegistryFixture::Set(HKEY_LOCAL_MACHINE, L"Software\\kinsttest\\only32",
                                   KEY_WOW64_32KEY, L"view", REG_SZ, L"32", 6));
  const struct {
    const wchar_t* subkey;
    int32_t wow64;
    const wchar_t* value;
  } kCases[] = {
      {L"Software\\kinsttest", 0, L"64"},
      {L"Software\\kinsttest", 1, L"32"},  // also what an absent attribute gives
      {L"Software\\kinsttest", 7, L"32"},
      {L"Software\\kinsttest\\only32", 0, L"32"},  // the 64-bit key does not open
  };
  for (const auto& c : kCases) {
    KVariableItem item;
    item.root = HKEY_LOCAL_MACHINE;
    item.subkey = c.subkey;
    item.keyname = L"view";
    item.wow64 = c.wow64;
    EXPECT_EQ(ReadVariableValue(item), c.value) << c.subkey << L" wow64=" << c.wow64;
  }
}

class UninstallIntervalTest : public ::testing::Test {
 protected:
  void TearDown() override { Clear(); }
  static void Clear() {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kProductKey, 0, KEY_ALL_ACCESS, &key) == 0) {
      ::RegDeleteValueW(key, L"uninstall_time");
      ::RegCloseKey(key);
    }
    if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, kUninstallHistoryKey, 0, KEY_ALL_ACCESS, &key) == 0) {
      ::RegDeleteValueW(key, L"uninstall_time");
      ::RegCloseKey(key);
    }
  }
  static void SetDaysAgo(HKEY root, const wchar_t* subkey, int64_t days) {
    const DWORD when = static_cast<DWORD>(std::time(nullptr) - days * 86400 - 60);
    ASSERT_TRUE(RegistryFixture::Set(root, subkey, 0, L"uninstall_time", REG_DWORD, &when,
                                     sizeof(when)));
  }
  KInstallConfigMgr config_;
};

TEST_F(UninstallIntervalTest, RecentUninstallBlocksByWhereItIsRecorded) {
  EXPECT_EQ(config_.CheckUninstallInterval(30), 0);  // no record anywhere

  SetDaysAgo(HKEY_LOCAL_MACHINE, kProductKey, 10);
  EXPECT_EQ(config_.CheckUninstallInterval(30), 352);
  EXPECT_EQ(config_.CheckUninstallInterval(10), 0);
  EXPECT_EQ(config_.CheckUninstallInterval(11), 352);
  EXPECT_EQ(config_.CheckUninstallInterval(0), 0);
  SetDaysAgo(HKEY_CLASSES_ROOT, kUninstallHistoryKey, 40);
  EXPECT_EQ(config_.CheckUninstallInterval(30), 352);  // the first place decides

  Clear();
  SetDaysAgo(HKEY_CLASSES_ROOT, kUninstallHistoryKey, 10);
  EXPECT_EQ(config_.CheckUninstallInterval(30), 358);
  SetDaysAgo(HKEY_CLASSES_ROOT, kUninstallHistoryKey, 31);
  EXPECT_EQ(config_.CheckUninstallInterval(30), 0);

  // A value of another type in the first place counts as absent there.
  ASSERT_TRUE(RegistryFixture::Set(HKEY_LOCAL_MACHINE, kProductKey, 0, L"uninstall_time",
                                   REG_SZ, L"1", 4));
  SetDaysAgo(HKEY_CLASSES_ROOT, kUninstallHistoryKey, 1);
  EXPECT_EQ(config_.CheckUninstallInterval(30), 358);
}

}  // namespace
}  // namespace kbase

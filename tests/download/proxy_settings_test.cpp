// SetupProxy from the registry, proven by sending requests through real proxies:
// tinyproxy (HTTP, basic authentication) and microsocks (SOCKS5), started by the
// "proxies" fixture on the ports it writes beside this program.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <curl/curl.h>

#include <string>

#include "common/win/scoped_handle.h"
#include "download/download_file.h"
#include "download/http_request.h"
#include "support/http_test_server.h"
#include "support/win_test_util.h"

namespace kbase {
namespace {

constexpr wchar_t kInstallerKey[] = L"Software\\Vesmark\\Nebrel\\0";
constexpr wchar_t kSystemKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

struct ProxyPorts {
  int http = 0;
  int socks = 0;
};

ProxyPorts ReadPorts() {
  std::string text;
  ProxyPorts ports;
  if (!test::ReadWholeFile(test::BesideThisProgram(L"proxy_ports.txt"), &text)) return ports;
  const size_t http = text.find("http="), socks = text.find("socks=");
  if (http != std::string::npos) ports.http = std::atoi(text.c_str() + http + 5);
  if (socks != std::string::npos) ports.socks = std::atoi(text.c_str() + socks + 6);
  return ports;
}

void SetDword(const wchar_t* key, const wchar_t* name, DWORD value) {
  RegSetKeyValueW(HKEY_CURRENT_USER, key, name, REG_DWORD, &value, sizeof value);
}

void SetText(const wchar_t* key, const wchar_t* name, const std::wstring& value) {
  RegSetKeyValueW(HKEY_CURRENT_USER, key, name, REG_SZ, value.c_str(),
                  static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

class ProxySettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ports_ = ReadPorts();
    ASSERT_NE(ports_.http, 0) << "the proxies fixture did not run";
    ASSERT_TRUE(server_.Start());
    test::HttpResponse ok;
    ok.body = "through";
    server_.Serve("/doc", ok);
    Clear();
  }
  void TearDown() override { Clear(); }

  static void Clear() {
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Vesmark");
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kSystemKey, L"ProxyEnable");
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kSystemKey, L"ProxyServer");
  }

  void UseRegistryProxy(DWORD mode, int port, bool authorize, const wchar_t* password) {
    SetDword(kInstallerKey, L"Proxy Mode", mode);
    SetText(kInstallerKey, L"Proxy Host", L"127.0.0.1");
    SetDword(kInstallerKey, L"Proxy Port", static_cast<DWORD>(port));
    SetDword(kInstallerKey, L"Proxy Authorization", authorize ? 1 : 0);
    SetText(kInstallerKey, L"Proxy User", L"tester");
    SetText(kInstallerKey, L"Proxy Password", password);
  }

  // The request the server saw last, or an empty one.
  test::HttpRequest LastSeen() {
    const auto requests = server_.RequestsFor("/doc");
    return requests.empty() ? test::HttpRequest() : requests.back();
  }

  ProxyPorts ports_;
  test::HttpTestServer server_;
};

bool ViaHttpProxy(const test::HttpRequest& request) {
  return request.Header("Via").find("kinst-test-proxy") != std::string::npos;
}

TEST_F(ProxySettingsTest, NoModeOrDisabledSystemProxyGoesDirect) {
  std::string body;
  EXPECT_EQ(GetUrlContent(server_.Url("/doc"), &body), 0);
  EXPECT_FALSE(ViaHttpProxy(LastSeen()));

  SetDword(kInstallerKey, L"Proxy Mode", 1);
  SetDword(kSystemKey, L"ProxyEnable", 0);
  SetText(kSystemKey, L"ProxyServer", L"http=127.0.0.1:" + std::to_wstring(ports_.http));
  EXPECT_EQ(GetUrlContent(server_.Url("/doc"), &body), 0);
  EXPECT_FALSE(ViaHttpProxy(LastSeen()));
}

TEST_F(ProxySettingsTest, HttpProxyWithBasicAuthentication) {
  for (DWORD mode : {2u, 4u}) {  // 4 leaves the type to the library: HTTP
    server_.ClearRequests();
    UseRegistryProxy(mode, ports_.http, true, L"secret");
    std::string body;
    EXPECT_EQ(GetUrlContent(server_.Url("/doc"), &body), 0) << mode;
    EXPECT_EQ(body, "through") << mode;
    EXPECT_TRUE(ViaHttpProxy(LastSeen())) << mode;

    server_.ClearRequests();
    // The proxy refuses: 407 without credentials, and this proxy answers 401 to wrong ones.
    UseRegistryProxy(mode, ports_.http, true, L"wrong");
    EXPECT_EQ(GetUrlContent(server_.Url("/doc"), &body), 401) << mode;
    UseRegistryProxy(mode, ports_.http, false, L"");
    EXPECT_EQ(GetUrlContent(server_.Url("/doc"), &body), 407) << mode;
    EXPECT_TRUE(server_.RequestsFor("/doc").empty()) << mode;
  }
}

TEST_F(ProxySettingsTest, Socks5ProxyWithUserAndPassword) {
  UseRegistryProxy(3, ports_.socks, true, L"secret");
  std::string body;
  EXPECT_EQ(GetUrlContent(server_.Url("/doc"), &body), 0);
  EXPECT_EQ(body, "through");
  EXPECT_FALSE(ViaHttpProxy(LastSeen()));

  server_.ClearRequests();
  UseRegistryProxy(3, ports_.socks, true, L"wrong");
  EXPECT_NE(GetUrlContent(server_.Url("/doc"), &body), 0);
  EXPECT_TRUE(server_.RequestsFor("/doc").empty());

  // DownloadToFile takes the same proxy.
  test::TempFolder folder;
  UseRegistryProxy(3, ports_.socks, true, L"secret");
  int error = 0;
  EXPECT_EQ(DownloadToFile(server_.Url("/doc"), folder.File(L"doc"), &error, nullptr, 10),
            kDownloadOk);
  UseRegistryProxy(3, ports_.socks, true, L"wrong");
  EXPECT_EQ(DownloadToFile(server_.Url("/doc"), folder.File(L"doc"), &error, nullptr, 10),
            kDownloadFailed);
}

TEST_F(ProxySettingsTest, SystemSettingsPickSocksFirstThenHttp) {
  SetDword(kInstallerKey, L"Proxy Mode", 1);
  SetDword(kInstallerKey, L"Proxy Authorization", 1);
  SetText(kInstallerKey, L"Proxy User", L"tester");
  SetText(kInstallerKey, L"Proxy Password", L"secret");
  SetDword(kSystemKey, L"ProxyEnable", 1);
  std::string body;

  SetText(kSystemKey, L"ProxyServer",
          L"SOCKS=127.0.0.1:" + std::to_wstring(ports_.socks) + L";http=127.0.0.1:" +
              std::to_wstring(ports_.http));
  EXPECT_EQ(GetUrlContent(server_.Url("/doc"), &body), 0);
  EXPECT_FALSE(ViaHttpProxy(LastSeen()));

  SetText(kSystemKey, L"ProxyServer",
          L"http=127.0.0.1:" + std::to_wstring(ports_.http) + L";https=127.0.0.1:1");
  EXPECT_EQ(GetUrlContent(server_.Url("/doc"), &body), 0);
  EXPECT_TRUE(ViaHttpProxy(LastSeen()));

  // A dead proxy proves the setting is used at all.
  SetText(kSystemKey, L"ProxyServer", L"127.0.0.1:1");
  EXPECT_EQ(GetUrlContent(server_.Url("/doc"), &body), CURLE_COULDNT_CONNECT);
}

}  // namespace
}  // namespace kbase

// How registry proxy values become a proxy type, host and port.
#include <gtest/gtest.h>

#include "download/proxy_text.h"

namespace kbase {
namespace {

TEST(ProxyText, SystemValueSelectsTypeHostAndPort) {
  const struct {
    const wchar_t* value;
    ProxyMode mode;
    const wchar_t* host;
    long port;
  } kCases[] = {
      {L"socks=gate:1080;http=web:8080", kProxySocks5, L"gate", 1080},
      {L"http=web:8080;https=web:9090", kProxyHttp, L"web", 8080},
      {L"https=web:9090;http=web:8080", kProxyHttp, L"web", 8080},
      {L"HTTP=Web:8080", kProxyHttp, L"web", 8080},
      {L"proxy.example:3128", kProxyHttp, L"proxy.example", 3128},
      {L"proxy.example", kProxyHttp, L"proxy.example", 80},
      {L"proxy.example:0", kProxyHttp, L"proxy.example", 80},
      {L"proxy.example:", kProxyHttp, L"proxy.example", 80},
      {L"proxy.example:x12", kProxyHttp, L"proxy.example", 80},
      {L"ftp=files:21", kProxyHttp, L"ftp=files", 21},
      {L"", kProxyHttp, L"", 80},
      {L"socks=", kProxySocks5, L"", 80},
  };
  for (const auto& c : kCases) {
    ProxyMode mode = kProxyNone;
    std::wstring text, host;
    long port = 80;
    ParseSystemProxyServer(c.value, &mode, &text);
    SplitProxyHostPort(text, &host, &port);
    EXPECT_EQ(mode, c.mode) << c.value;
    EXPECT_EQ(host, c.host) << c.value;
    EXPECT_EQ(port, c.port) << c.value;
  }
}

TEST(ProxyText, RegistryPortStaysWithoutColonAndHugePortsStop) {
  std::wstring host;
  long port = 3128;
  SplitProxyHostPort(L"proxy", &host, &port);
  EXPECT_EQ(port, 3128);
  SplitProxyHostPort(L"proxy:99999999999999999999", &host, &port);
  EXPECT_GT(port, 65535);  // out of range: the transfer library refuses it
  EXPECT_LT(port, 1000000);
}

}  // namespace
}  // namespace kbase

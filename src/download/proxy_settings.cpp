#include "download/proxy_settings.h"

#include <windows.h>

#include <string>

#include "common/win/ansi_text.h"
#include "common/win/scoped_handle.h"
#include "download/proxy_text.h"

namespace kbase {

namespace {

// The profile number in the key name is never set by the installer, so it is 0.
constexpr wchar_t kInstallerProxyKey[] = L"Software\\Vesmark\\Nebrel\\0";
constexpr wchar_t kInternetSettingsKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
constexpr DWORD kTextChars = 260;

class RegistryReader {
 public:
  explicit RegistryReader(const wchar_t* subkey) {
    RegOpenKeyExW(HKEY_CURRENT_USER, subkey, 0, KEY_QUERY_VALUE, key_.receive());
  }
  DWORD Dword(const wchar_t* name, DWORD fallback) const {
    DWORD value = 0, type = 0, size = sizeof value;
    if (key_.get() == nullptr ||
        RegQueryValueExW(key_.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&value),
                         &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof value) {
      return fallback;
    }
    return value;
  }
  // At most 259 characters, always terminated, whatever the stored data holds.
  std::wstring Text(const wchar_t* name) const {
    wchar_t buffer[kTextChars] = {};
    DWORD type = 0, size = sizeof buffer - sizeof(wchar_t);
    if (key_.get() == nullptr ||
        RegQueryValueExW(key_.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buffer),
                         &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
      return {};
    }
    buffer[size / sizeof(wchar_t)] = L'\0';
    return buffer;
  }

 private:
  ScopedKey key_;
};

}  // namespace

int SetupProxy(CURL* curl) {
  const RegistryReader installer(kInstallerProxyKey);
  ProxyMode mode = static_cast<ProxyMode>(installer.Dword(L"Proxy Mode", 0));
  std::wstring text;
  long port = 80;
  if (mode == kProxySystem) {
    const RegistryReader system(kInternetSettingsKey);
    if (system.Dword(L"ProxyEnable", 0) != 0) {
      ParseSystemProxyServer(system.Text(L"ProxyServer"), &mode, &text);
    }
  } else if (mode == kProxyHttp || mode == kProxySocks5 || mode == kProxyDefaultType) {
    port = static_cast<long>(installer.Dword(L"Proxy Port", 80));
    text = installer.Text(L"Proxy Host");
  }
  if (mode != kProxyHttp && mode != kProxySocks5 && mode != kProxyDefaultType) return 0;

  std::wstring host;
  SplitProxyHostPort(text, &host, &port);
  if (host.empty()) return 0;

  CURLcode code = CURLE_OK;
  if (mode == kProxyHttp) code = curl_easy_setopt(curl, CURLOPT_PROXYTYPE, CURLPROXY_HTTP);
  if (mode == kProxySocks5) code = curl_easy_setopt(curl, CURLOPT_PROXYTYPE, CURLPROXY_SOCKS5);
  if (code == CURLE_OK) code = curl_easy_setopt(curl, CURLOPT_PROXYPORT, port);
  if (code == CURLE_OK) code = curl_easy_setopt(curl, CURLOPT_PROXY, ToAnsi(host).c_str());
  if (code != CURLE_OK) return code;

  if (installer.Dword(L"Proxy Authorization", 0) != 0) {
    const std::string credentials =
        ToAnsi(installer.Text(L"Proxy User")) + ":" + ToAnsi(installer.Text(L"Proxy Password"));
    code = curl_easy_setopt(curl, CURLOPT_PROXYAUTH, CURLAUTH_BASIC);
    if (code == CURLE_OK) code = curl_easy_setopt(curl, CURLOPT_PROXYUSERPWD, credentials.c_str());
  }
  return code;
}

}  // namespace kbase

#include "download/proxy_text.h"

#include <cwctype>

namespace kbase {

void ParseSystemProxyServer(const std::wstring& value, ProxyMode* mode, std::wstring* text) {
  std::wstring lower = value;
  for (wchar_t& c : lower) c = static_cast<wchar_t>(std::towlower(c));
  static const std::wstring kSocks = L"socks=", kHttp = L"http=";
  size_t at = lower.find(kSocks);
  if (at != std::wstring::npos) {
    *mode = kProxySocks5;
    *text = lower.substr(at + kSocks.size());
    return;
  }
  *mode = kProxyHttp;
  at = lower.find(kHttp);
  *text = at == std::wstring::npos ? lower : lower.substr(at + kHttp.size());
}

void SplitProxyHostPort(const std::wstring& text, std::wstring* host, long* port) {
  const size_t colon = text.find(L':');
  if (colon == std::wstring::npos) {
    *host = text;
  } else {
    *host = text.substr(0, colon);
    long value = 0;
    for (size_t i = colon + 1; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
      value = value * 10 + (text[i] - L'0');
      if (value > 65535) break;  // no port is that large; stop before overflow
    }
    *port = value;
  }
  if (*port == 0) *port = 80;
}

}  // namespace kbase

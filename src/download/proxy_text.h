#pragma once
// Rules that turn registry proxy values into a proxy choice.
#include <string>

namespace kbase {

enum ProxyMode {
  kProxyNone = 0,
  kProxySystem = 1,  // take the system's Internet Settings
  kProxyHttp = 2,
  kProxySocks5 = 3,
  kProxyDefaultType = 4,  // host and port given, the library's default proxy type
};

// The system "ProxyServer" value, e.g. "socks=gate:1080;http=web:8080": a "socks="
// entry selects SOCKS5 with the text after it; otherwise HTTP with the text after
// "http=", or the whole value. Compared in lower case; `text` gets the lower-case rest.
void ParseSystemProxyServer(const std::wstring& value, ProxyMode* mode, std::wstring* text);

// Splits "host[:port...]" at the first ':'; the port is the run of digits at the start
// of the rest. Without ':' the port stays as given. A port of 0 becomes 80.
void SplitProxyHostPort(const std::wstring& text, std::wstring* host, long* port);

}  // namespace kbase

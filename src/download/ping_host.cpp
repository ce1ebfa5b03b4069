#include "download/ping_host.h"

#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>
#include <icmpapi.h>

#include <cstdio>
#include <cstring>

namespace kbase {

namespace {

constexpr int kEchoRequests = 2;
constexpr DWORD kEchoTimeoutMs = 1000;

int SocketFailure(const char* operation) {
  // Goes to the console stream, which a windowed process does not show.
  fprintf(stderr, "An error occured in %s: %d\n", operation, WSAGetLastError());
  return -1;
}

}  // namespace

int PingHost(const char* host) {
  WSADATA wsa;
  if (WSAStartup(MAKEWORD(2, 2), &wsa) != 0) return SocketFailure("WSAStartup");

  int replies = 0;
  const hostent* entry = gethostbyname(host);
  if (entry == nullptr || entry->h_addrtype != AF_INET || entry->h_addr_list[0] == nullptr) {
    SocketFailure("gethostbyname");
    WSACleanup();
    return -1;
  }
  IPAddr address;
  std::memcpy(&address, entry->h_addr_list[0], sizeof address);

  HANDLE icmp = IcmpCreateFile();
  if (icmp != INVALID_HANDLE_VALUE) {
    char data[] = "Data Buffer";  // 12 bytes with its terminating zero
    // Room for the reply record, the echoed data and an ICMP error's 8 bytes: a
    // reply record alone is 40 bytes in a 64-bit process.
    char reply[sizeof(ICMP_ECHO_REPLY) + sizeof data + 8];
    for (int i = 0; i < kEchoRequests; ++i) {
      if (IcmpSendEcho(icmp, address, data, sizeof data, nullptr, reply, sizeof reply,
                       kEchoTimeoutMs) != 0 &&
          reinterpret_cast<ICMP_ECHO_REPLY*>(reply)->Status == IP_SUCCESS) {
        ++replies;
      }
    }
    IcmpCloseHandle(icmp);
  }
  if (WSACleanup() != 0) return SocketFailure("WSACleanup");
  return replies;
}

}  // namespace kbase

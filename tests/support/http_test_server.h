#pragma once
// A real HTTP/1.1 server on 127.0.0.1 for tests, run on threads of the test process.
// One request per connection ("Connection: close"). Each path answers with a canned
// reply or a handler; every request is recorded with its headers and body.
#include <winsock2.h>
#include <windows.h>

#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "common/win/scoped_handle.h"

namespace kbase::test {

struct HttpRequest {
  std::string method;
  std::string target;  // as sent, with the query
  std::string path;    // target without the query
  std::vector<std::pair<std::string, std::string>> headers;  // in order, as sent
  std::string body;

  // The first header of that name (any case), or empty.
  std::string Header(const std::string& name) const;
  bool HasHeader(const std::string& name) const;
};

struct HttpResponse {
  static constexpr size_t kNever = std::numeric_limits<size_t>::max();

  int status = 200;
  std::string body;
  std::vector<std::pair<std::string, std::string>> headers;  // added after the standard ones
  bool ranges = true;  // answer "Range: bytes=N-" with 206; false ignores the range (200)
  bool content_length = true;  // false: no Content-Length, the body ends with the connection
  size_t chunk = 64 * 1024;    // bytes per send
  DWORD chunk_delay_ms = 0;    // pause after each chunk
  size_t stall_after = kNever;  // after this many body bytes, pause stall_ms once
  DWORD stall_ms = 0;
  size_t drop_after = kNever;  // after this many body bytes, close the connection
};

using HttpHandler = std::function<HttpResponse(const HttpRequest&)>;

class HttpTestServer {
 public:
  HttpTestServer() = default;
  ~HttpTestServer();
  HttpTestServer(const HttpTestServer&) = delete;
  HttpTestServer& operator=(const HttpTestServer&) = delete;

  // Listens on 127.0.0.1:port (0 picks a free port). False when it cannot.
  bool Start(unsigned short port = 0);
  void Stop();
  unsigned short port() const { return port_; }
  // "http://127.0.0.1:<port><path>"
  std::wstring Url(const std::string& path) const;
  std::string Host() const;  // "127.0.0.1:<port>"

  void Serve(const std::string& path, HttpResponse response);
  void Serve(const std::string& path, HttpHandler handler);

  std::vector<HttpRequest> Requests() const;
  std::vector<HttpRequest> RequestsFor(const std::string& path) const;
  void ClearRequests();

 private:
  void AcceptLoop();
  void ServeConnection(SOCKET client);
  bool Pause(DWORD ms);  // false when stopping
  HttpResponse Lookup(const HttpRequest& request);

  SOCKET listener_ = INVALID_SOCKET;
  unsigned short port_ = 0;
  ScopedHandle stopping_;
  std::thread acceptor_;
  mutable std::mutex lock_;  // guards everything below
  std::map<std::string, HttpHandler> routes_;
  std::vector<HttpRequest> requests_;
  std::vector<std::thread> workers_;
  std::vector<SOCKET> clients_;
  bool winsock_ = false;
};

}  // namespace kbase::test

#include "support/http_test_server.h"

#include <ws2tcpip.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>

namespace kbase::test {

namespace {

bool EqualsNoCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

const char* Reason(int status) {
  switch (status) {
    case 200: return "OK";
    case 206: return "Partial Content";
    case 302: return "Found";
    case 404: return "Not Found";
    case 407: return "Proxy Authentication Required";
    case 416: return "Range Not Satisfiable";
    case 500: return "Internal Server Error";
    default: return "Status";
  }
}

bool SendAll(SOCKET socket, const char* data, size_t size) {
  while (size > 0) {
    const int sent = send(socket, data, static_cast<int>(std::min<size_t>(size, 1 << 20)), 0);
    if (sent <= 0) return false;
    data += sent;
    size -= static_cast<size_t>(sent);
  }
  return true;
}

// Reads the head and the body (by Content-Length) of one request.
bool ReadRequest(SOCKET socket, HttpRequest* request) {
  std::string data;
  char buffer[16384];
  size_t head_end;
  while ((head_end = data.find("\r\n\r\n")) == std::string::npos) {
    const int got = recv(socket, buffer, sizeof buffer, 0);
    if (got <= 0 || data.size() > (1 << 20)) return false;
    data.append(buffer, static_cast<size_t>(got));
  }
  const std::string head = data.substr(0, head_end);
  size_t line_end = head.find("\r\n");
  const std::string request_line = head.substr(0, line_end);
  const size_t first_space = request_line.find(' ');
  const size_t second_space = request_line.find(' ', first_space + 1);
  if (first_space == std::string::npos || second_space == std::string::npos) return false;
  request->method = request_line.substr(0, first_space);
  request->target = request_line.substr(first_space + 1, second_space - first_space - 1);
  request->path = request->target.substr(0, request->target.find('?'));
  // A proxy may forward the absolute form.
  if (request->path.rfind("http://", 0) == 0) {
    const size_t slash = request->path.find('/', 7);
    request->path = slash == std::string::npos ? "/" : request->path.substr(slash);
  }
  while (line_end != std::string::npos && line_end < head.size()) {
    const size_t start = line_end + 2;
    line_end = head.find("\r\n", start);
    const std::string line = head.substr(start, line_end == std::string::npos ? std::string::npos
                                                                               : line_end - start);
    const size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    size_t value = colon + 1;
    while (value < line.size() && line[value] == ' ') ++value;
    request->headers.emplace_back(line.substr(0, colon), line.substr(value));
  }
  request->body = data.substr(head_end + 4);
  const size_t length = std::strtoul(request->Header("Content-Length").c_str(), nullptr, 10);
  while (request->body.size() < length) {
    const int got = recv(socket, buffer, sizeof buffer, 0);
    if (got <= 0) return false;
    request->body.append(buffer, static_cast<size_t>(got));
  }
  return true;
}

}  // namespace

std::string HttpRequest::Header(const std::string& name) const {
  for (const auto& header : headers) {
    if (EqualsNoCase(header.first, name)) return header.second;
  }
  return {};
}

bool HttpRequest::HasHeader(const std::string& name) const {
  return std::any_of(headers.begin(), headers.end(),
                     [&](const auto& header) { return EqualsNoCase(header.first, name); });
}

HttpTestServer::~HttpTestServer() { Stop(); }

bool HttpTestServer::Start(unsigned short port) {
  WSADATA wsa;
  if (WSAStartup(MAKEWORD(2, 2), &wsa) != 0) return false;
  winsock_ = true;
  stopping_.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (listener_ == INVALID_SOCKET) return false;
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(port);
  int size = sizeof address;
  if (bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      listen(listener_, SOMAXCONN) != 0 ||
      getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
    closesocket(listener_);
    listener_ = INVALID_SOCKET;
    return false;
  }
  port_ = ntohs(address.sin_port);
  acceptor_ = std::thread(&HttpTestServer::AcceptLoop, this);
  return true;
}

void HttpTestServer::Stop() {
  if (stopping_.valid()) SetEvent(stopping_.get());
  if (listener_ != INVALID_SOCKET) {
    closesocket(listener_);
    listener_ = INVALID_SOCKET;
  }
  if (acceptor_.joinable()) acceptor_.join();
  std::vector<std::thread> workers;
  {
    std::lock_guard<std::mutex> guard(lock_);
    for (SOCKET client : clients_) shutdown(client, SD_BOTH);
    workers.swap(workers_);
  }
  for (std::thread& worker : workers) worker.join();
  if (winsock_) WSACleanup();
  winsock_ = false;
}

std::wstring HttpTestServer::Url(const std::string& path) const {
  const std::string url = "http://" + Host() + path;
  return std::wstring(url.begin(), url.end());
}

std::string HttpTestServer::Host() const { return "127.0.0.1:" + std::to_string(port_); }

void HttpTestServer::Serve(const std::string& path, HttpResponse response) {
  Serve(path, [response](const HttpRequest&) { return response; });
}

void HttpTestServer::Serve(const std::string& path, HttpHandler handler) {
  std::lock_guard<std::mutex> guard(lock_);
  routes_[path] = std::move(handler);
}

std::vector<HttpRequest> HttpTestServer::Requests() const {
  std::lock_guard<std::mutex> guard(lock_);
  return requests_;
}

std::vector<HttpRequest> HttpTestServer::RequestsFor(const std::string& path) const {
  std::vector<HttpRequest> matching;
  for (const HttpRequest& request : Requests()) {
    if (request.path == path) matching.push_back(request);
  }
  return matching;
}

void HttpTestServer::ClearRequests() {
  std::lock_guard<std::mutex> guard(lock_);
  requests_.clear();
}

void HttpTestServer::AcceptLoop() {
  for (;;) {
    const SOCKET client = accept(listener_, nullptr, nullptr);
    if (client == INVALID_SOCKET) return;  // the listener was closed
    std::lock_guard<std::mutex> guard(lock_);
    clients_.push_back(client);
    workers_.emplace_back(&HttpTestServer::ServeConnection, this, client);
  }
}

bool HttpTestServer::Pause(DWORD ms) {
  return WaitForSingleObject(stopping_.get(), ms) == WAIT_TIMEOUT;
}

HttpResponse HttpTestServer::Lookup(const HttpRequest& request) {
  HttpHandler handler;
  {
    std::lock_guard<std::mutex> guard(lock_);
    requests_.push_back(request);
    auto route = routes_.find(request.path);
    if (route != routes_.end()) handler = route->second;
  }
  if (!handler) {
    HttpResponse missing;
    missing.status = 404;
    missing.body = "not found";
    return missing;
  }
  return handler(request);
}

void HttpTestServer::ServeConnection(SOCKET client) {
  HttpRequest request;
  if (ReadRequest(client, &request)) {
    const HttpResponse response = Lookup(request);
    int status = response.status;
    size_t from = 0;
    const std::string range = request.Header("Range");
    if (status == 200 && response.ranges && range.rfind("bytes=", 0) == 0) {
      from = std::strtoul(range.c_str() + 6, nullptr, 10);
      status = from < response.body.size() ? 206 : 416;
    }
    const size_t size = status == 416 ? 0 : response.body.size() - from;
    std::string head = "HTTP/1.1 " + std::to_string(status) + " " + Reason(status) + "\r\n";
    if (response.content_length) head += "Content-Length: " + std::to_string(size) + "\r\n";
    if (status == 206) {
      head += "Content-Range: bytes " + std::to_string(from) + "-" +
              std::to_string(response.body.size() - 1) + "/" +
              std::to_string(response.body.size()) + "\r\n";
    }
    if (response.ranges) head += "Accept-Ranges: bytes\r\n";
    for (const auto& header : response.headers) {
      head += header.first + ": " + header.second + "\r\n";
    }
    head += "Connection: close\r\n\r\n";
    bool ok = SendAll(client, head.data(), head.size());
    size_t sent = 0;
    bool stalled = false;
    while (ok && request.method != "HEAD" && sent < size) {
      if (sent >= response.drop_after) break;
      if (!stalled && sent >= response.stall_after) {
        stalled = true;
        if (!Pause(response.stall_ms)) break;
      }
      size_t piece = std::min(response.chunk, size - sent);
      piece = std::min(piece, response.drop_after - sent);
      if (!stalled) piece = std::min(piece, response.stall_after - sent);
      ok = SendAll(client, response.body.data() + from + sent, piece);
      sent += piece;
      if (response.chunk_delay_ms > 0 && !Pause(response.chunk_delay_ms)) break;
    }
  }
  {
    // Forget the socket before closing it: its number may come back from accept.
    std::lock_guard<std::mutex> guard(lock_);
    clients_.erase(std::remove(clients_.begin(), clients_.end(), client), clients_.end());
  }
  shutdown(client, SD_SEND);
  closesocket(client);
}

}  // namespace kbase::test

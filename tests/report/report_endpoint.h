#pragma once
// A telemetry endpoint for tests: the test HTTP server answering "/c/" with a reply frame
// (a confirming one unless told otherwise), and every received message decoded. While it
// lives, reports go to it.
#include <mutex>
#include <string>
#include <vector>

#include "report/report_decoder.h"
#include "support/http_test_server.h"

namespace kbase::test {

class TelemetryEndpoint {
 public:
  TelemetryEndpoint() = default;
  ~TelemetryEndpoint();
  TelemetryEndpoint(const TelemetryEndpoint&) = delete;
  TelemetryEndpoint& operator=(const TelemetryEndpoint&) = delete;

  // Starts the server and points reports at it.
  bool Start();

  // The reply to every later message.
  void Answer(const HttpResponse& response);
  void AnswerText(const std::string& text);  // framed correctly
  static HttpResponse Confirming();

  // Every message received so far, decoded; a message that does not decode fails the
  // current test.
  std::vector<KDirectVestat::DecodedMessage> Messages() const;
  size_t Count() const { return server_.RequestsFor("/c/").size(); }
  // Waits up to `ms` for at least `count` messages.
  bool WaitFor(size_t count, DWORD ms) const;

  HttpTestServer& server() { return server_; }

 private:
  HttpTestServer server_;
  mutable std::mutex lock_;
  HttpResponse reply_ = Confirming();
};

// The table block (the second block) of a decoded message.
const KDirectVestat::DecodedBlock& TableBlock(const KDirectVestat::DecodedMessage& message);

}  // namespace kbase::test

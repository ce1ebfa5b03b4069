#include "report/report_endpoint.h"

#include <gtest/gtest.h>

#include "report/install_report.h"

namespace kbase::test {

TelemetryEndpoint::~TelemetryEndpoint() {
  KDirectVestat::SetReportHostForTesting("");
  server_.Stop();
}

HttpResponse TelemetryEndpoint::Confirming() {
  HttpResponse response;
  response.body = KDirectVestat::EncodeReply("[common]\r\nresult=1\r\n");
  return response;
}

bool TelemetryEndpoint::Start() {
  if (!server_.Start()) return false;
  server_.Serve("/c/", [this](const HttpRequest&) {
    std::lock_guard<std::mutex> hold(lock_);
    return reply_;
  });
  KDirectVestat::SetReportHostForTesting(server_.Host());
  return true;
}

void TelemetryEndpoint::Answer(const HttpResponse& response) {
  std::lock_guard<std::mutex> hold(lock_);
  reply_ = response;
}

void TelemetryEndpoint::AnswerText(const std::string& text) {
  HttpResponse response;
  response.body = KDirectVestat::EncodeReply(text);
  Answer(response);
}

std::vector<KDirectVestat::DecodedMessage> TelemetryEndpoint::Messages() const {
  std::vector<KDirectVestat::DecodedMessage> messages;
  for (const auto& request : server_.RequestsFor("/c/")) {
    KDirectVestat::DecodedMessage message;
    std::string error;
    EXPECT_TRUE(KDirectVestat::DecodeMessage(request.body, &message, &error)) << error;
    EXPECT_EQ(message.blocks.size(), 2u);
    if (!message.blocks.empty()) {
      EXPECT_EQ(message.blocks[0].table_id, 4);
    }
    messages.push_back(std::move(message));
  }
  return messages;
}

bool TelemetryEndpoint::WaitFor(size_t count, DWORD ms) const {
  const DWORD start = GetTickCount();
  while (Count() < count) {
    if (GetTickCount() - start > ms) return false;
    Sleep(10);
  }
  return true;
}

const KDirectVestat::DecodedBlock& TableBlock(const KDirectVestat::DecodedMessage& message) {
  static const KDirectVestat::DecodedBlock missing;
  return message.blocks.size() >= 2 ? message.blocks[1] : missing;
}

}  // namespace kbase::test

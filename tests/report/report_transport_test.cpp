// KInstallReport::Send against a local endpoint: what goes on the wire, which replies
// count as delivered, and an endpoint that is down or stalls.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "report/install_report.h"
#include "report/public_block.h"
#include "report/report_decoder.h"
#include "report/report_endpoint.h"

namespace KDirectVestat {
namespace {

using kbase::test::HttpResponse;

std::unique_ptr<KInstallReport> PopupMessage() {
  auto message = std::make_unique<KInstallReport>();
  auto header = std::make_unique<KPublicBlock>();
  header->FillPublic(L"0123456789ABCDEF0123456789ABCDEF", L"186", L"336", L"2");
  auto popup = std::make_unique<KInstallSerialize>(5847);
  popup->PutByte(1);
  popup->PutByte(1);
  popup->PutByte(0);
  popup->Finish();
  message->AddBlock(std::move(header));
  message->AddBlock(std::move(popup));
  return message;
}

class ReportTransportTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(endpoint_.Start()); }
  kbase::test::TelemetryEndpoint endpoint_;
};

TEST_F(ReportTransportTest, PostsTheBodyWithItsHeaderLinesAndKeepsTheReply) {
  auto message = PopupMessage();
  std::string body;
  ASSERT_TRUE(message->BuildBody(&body));
  EXPECT_EQ(message->Send(), 0);
  EXPECT_EQ(message->reply_text(), L"[common]\r\nresult=1\r\n");

  const auto requests = endpoint_.server().RequestsFor("/c/");
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].method, "POST");
  EXPECT_EQ(requests[0].body, body);
  std::vector<std::string> names;
  for (const auto& header : requests[0].headers) {
    if (header.first == "Content-Type" || header.first == "User-Agent" ||
        header.first == "Accept") {
      names.push_back(header.first + ": " + header.second);
    }
  }
  EXPECT_EQ(names, (std::vector<std::string>{"Content-Type: application/x-www-form-urlencoded",
                                             "User-Agent: Mozilla/4.0", "Accept: */*"}));
  const auto messages = endpoint_.Messages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].blocks[0].Number("company_id"), 186u);
  EXPECT_EQ(kbase::test::TableBlock(messages[0]).table_id, 5847);
  EXPECT_EQ(kbase::test::TableBlock(messages[0]).Number("kind"), 1u);
}

TEST_F(ReportTransportTest, OnlyAConfirmingFrameCountsAsDelivered) {
  const std::string good = EncodeReply("[common]\nresult=1\n");
  auto patched = [&](size_t offset, char value) {
    HttpResponse response;
    response.body = good;
    response.body[offset] = value;
    return response;
  };
  auto text = [](const std::string& body) {
    HttpResponse response;
    response.body = body;
    return response;
  };
  HttpResponse server_error = text(good);
  server_error.status = 500;
  struct Case {
    const char* name;
    HttpResponse response;
    int expected;
  };
  const std::vector<Case> cases = {
      {"confirmed", text(good), 0},
      {"upper case and spaces", text(EncodeReply("\n[COMMON]\nResult = 1")), 0},
      {"short", text(good.substr(0, 7)), -1},
      {"length off by one", patched(0, static_cast<char>(good.size() + 1)), -1},
      {"CRC off", patched(3, static_cast<char>(good[3] ^ 1)), -1},
      {"version byte 3", patched(2, 3), -1},
      {"text without [", text(EncodeReply("common\nresult=1\n")), -1},
      {"line neither section nor key=value",
       text(EncodeReply("[common]\nresult=1\nno pair here\n")), -1},
      {"result=2", text(EncodeReply("[common]\nresult=2\n")), -1},
      {"status 500 with a confirming body", server_error, -1},
      {"empty body", text(""), -1},
  };
  for (const auto& c : cases) {
    endpoint_.Answer(c.response);
    EXPECT_EQ(PopupMessage()->Send(), c.expected) << c.name;
  }
  EXPECT_EQ(endpoint_.Count(), cases.size());
}

TEST_F(ReportTransportTest, MessageOf64KiBIsNotSent) {
  KInstallReport message;
  auto header = std::make_unique<KPublicBlock>();
  header->FillPublic(L"", L"1", L"2", L"3");
  auto big = std::make_unique<KInstallSerialize>(4680);
  big->PutString(std::wstring(0x10000, L'a'));
  big->Finish();
  message.AddBlock(std::move(header));
  message.AddBlock(std::move(big));
  EXPECT_EQ(message.Send(), -1);
  EXPECT_EQ(endpoint_.Count(), 0u);
}

TEST_F(ReportTransportTest, EndpointDownFailsAtOnce) {
  endpoint_.server().Stop();
  const DWORD start = GetTickCount();
  EXPECT_EQ(PopupMessage()->Send(), -1);
  EXPECT_LT(GetTickCount() - start, 5000u);
}

TEST_F(ReportTransportTest, StalledEndpointIsGivenUpAfterTenSeconds) {
  HttpResponse stall = kbase::test::TelemetryEndpoint::Confirming();
  stall.stall_after = 0;
  stall.stall_ms = 30000;
  endpoint_.Answer(stall);
  const DWORD start = GetTickCount();
  EXPECT_EQ(PopupMessage()->Send(), -1);
  const DWORD elapsed = GetTickCount() - start;
  EXPECT_GE(elapsed, 9500u);
  EXPECT_LT(elapsed, 15000u);
  EXPECT_EQ(endpoint_.Count(), 1u);
}

}  // namespace
}  // namespace KDirectVestat

// GetUrlContent, PostData, PostEmpty and PingHost against loopback.
#include <gtest/gtest.h>

#include <curl/curl.h>

#include <string>

#include "download/http_request.h"
#include "download/ping_host.h"
#include "support/http_test_server.h"

namespace kbase {
namespace {

using test::HttpResponse;

class HttpRequestTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(server_.Start()); }
  test::HttpTestServer server_;
};

TEST_F(HttpRequestTest, GetUrlContentReturnsBodyAndJudgesTheStatus) {
  HttpResponse document;
  document.body = std::string(100000, 'x') + "end";
  document.chunk = 1000;
  server_.Serve("/seminstall/186/336.xml", document);
  HttpResponse error_page;
  error_page.status = 500;
  error_page.body = "server error page";
  server_.Serve("/broken", error_page);
  HttpResponse moved;
  moved.status = 302;
  moved.headers = {{"Location", "/seminstall/186/336.xml"}};
  server_.Serve("/moved", moved);

  std::string body;
  EXPECT_EQ(GetUrlContent(server_.Url("/seminstall/186/336.xml?time=1700000000"), &body), 0);
  EXPECT_EQ(body, document.body);
  const auto request = server_.RequestsFor("/seminstall/186/336.xml").at(0);
  EXPECT_EQ(request.target, "/seminstall/186/336.xml?time=1700000000");
  EXPECT_EQ(request.Header("User-Agent"), "Mozilla/4.0");
  EXPECT_EQ(request.Header("Accept"), "*/*");
  EXPECT_EQ(request.Header("Content-Type"), "application/octet-stream");

  body.clear();
  EXPECT_EQ(GetUrlContent(server_.Url("/broken"), &body), 500);
  EXPECT_EQ(body, "server error page");  // joined whatever the status
  body.clear();
  EXPECT_EQ(GetUrlContent(server_.Url("/moved"), &body), 0);
  EXPECT_EQ(body, document.body);

  test::HttpTestServer closed;
  ASSERT_TRUE(closed.Start());
  const std::wstring dead = closed.Url("/x");
  closed.Stop();
  EXPECT_EQ(GetUrlContent(dead, &body), CURLE_COULDNT_CONNECT);
}

TEST_F(HttpRequestTest, PostsCarryTheirBodiesAndHeaderLines) {
  server_.Serve("/cityinfo", [](const test::HttpRequest& request) {
    HttpResponse echo;
    echo.body = "got " + std::to_string(request.body.size());
    return echo;
  });
  HttpResponse teapot;
  teapot.status = 418;
  teapot.body = "short and stout";
  server_.Serve("/ip/cityid", teapot);

  const std::string record("\x01\x00\x02\xff", 4);
  std::string reply = "kept:";
  EXPECT_EQ(PostData(server_.Url("/cityinfo"), record.data(), record.size(), &reply), 200);
  EXPECT_EQ(reply, "kept:got 4");
  const auto post = server_.RequestsFor("/cityinfo").at(0);
  EXPECT_EQ(post.method, "POST");
  EXPECT_EQ(post.body, record);
  EXPECT_EQ(post.Header("Content-Type"), "application/octet-stream");
  EXPECT_EQ(post.Header("User-Agent"), "Mozilla/4.0");

  reply.clear();
  EXPECT_EQ(PostEmpty({"X-First: 1", "X-Second: 2"}, server_.Url("/ip/cityid"), &reply), 418);
  EXPECT_EQ(reply, "short and stout");
  const auto empty = server_.RequestsFor("/ip/cityid").at(0);
  EXPECT_EQ(empty.method, "POST");
  EXPECT_EQ(empty.body, "");
  EXPECT_EQ(empty.Header("Content-Length"), "0");
  std::vector<std::string> order;
  for (const auto& header : empty.headers) {
    if (header.first == "User-Agent" || header.first.rfind("X-", 0) == 0) {
      order.push_back(header.first);
    }
  }
  EXPECT_EQ(order, (std::vector<std::string>{"User-Agent", "X-First", "X-Second"}));

  test::HttpTestServer closed;
  ASSERT_TRUE(closed.Start());
  const std::wstring dead = closed.Url("/cityinfo");
  closed.Stop();
  reply.clear();
  EXPECT_EQ(PostData(dead, record.data(), record.size(), &reply), 0);
  EXPECT_EQ(PostEmpty({}, dead, &reply), 0);
  EXPECT_EQ(reply, "");
}

TEST(PingHost, CountsEchoRepliesAndFailsOnUnknownNames) {
  // ICMP on loopback needs root on Linux, which these machines and CI have.
  EXPECT_EQ(PingHost("127.0.0.1"), 2);
  EXPECT_EQ(PingHost("no-such-host.invalid"), -1);
}

}  // namespace
}  // namespace kbase

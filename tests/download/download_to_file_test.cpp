// DownloadToFile against the local test server: results, error outputs, files left
// behind, request headers and progress.
#include <gtest/gtest.h>

#include <curl/curl.h>

#include <string>

#include "download/download_file.h"
#include "download/recording_progress.h"
#include "support/http_test_server.h"
#include "support/win_test_util.h"

namespace kbase {
namespace {

using test::HttpResponse;

std::string Body(size_t size) {
  std::string body(size, '\0');
  for (size_t i = 0; i < size; ++i) body[i] = static_cast<char>(i * 7 + i / 251);
  return body;
}

class DownloadToFileTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(server_.Start()); }
  test::HttpTestServer server_;
  test::TempFolder folder_;
};

TEST_F(DownloadToFileTest, WritesTheBodySendsTheHeadersAndReportsProgress) {
  HttpResponse ok;
  ok.body = Body(300000);
  ok.chunk = 16384;
  server_.Serve("/pkg.exe", ok);
  const std::wstring path = folder_.File(L"new\\deeper\\pkg.exe");
  test::RecordingProgress progress;
  int error = -1;

  EXPECT_EQ(DownloadToFile(server_.Url("/pkg.exe"), path, &error, &progress, 30), kDownloadOk);

  std::string written;
  ASSERT_TRUE(test::ReadWholeFile(path, &written));
  EXPECT_EQ(written.size(), ok.body.size());
  EXPECT_TRUE(written == ok.body);
  EXPECT_EQ(error, -1);  // untouched on success

  // A header probe, then the transfer; both carry the three lines in order.
  const auto requests = server_.RequestsFor("/pkg.exe");
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].method, "HEAD");
  EXPECT_EQ(requests[1].method, "GET");
  for (const auto& request : requests) {
    std::vector<std::string> ours;
    for (const auto& header : request.headers) {
      if (header.first == "Content-Type" || header.first == "User-Agent" ||
          header.first == "Accept") {
        ours.push_back(header.first + ": " + header.second);
      }
    }
    EXPECT_EQ(ours, (std::vector<std::string>{"Content-Type: application/octet-stream",
                                              "User-Agent: Mozilla/4.0", "Accept: */*"}));
    EXPECT_FALSE(request.HasHeader("Range"));
  }

  ASSERT_FALSE(progress.calls.empty());
  for (const auto& call : progress.calls) {
    EXPECT_EQ(call.total, 300000);
    EXPECT_EQ(call.reserved, 0);
    EXPECT_GE(call.fraction, 0.0);
    EXPECT_LE(call.fraction, 1.0);
  }
  EXPECT_DOUBLE_EQ(progress.calls.back().fraction, 1.0);
}

TEST_F(DownloadToFileTest, FailuresDeleteTheFileAndNameTheCause) {
  HttpResponse not_found;
  not_found.status = 404;
  not_found.body = "missing";
  HttpResponse broken;
  broken.status = 500;
  HttpResponse partial_unasked;
  partial_unasked.status = 206;
  partial_unasked.body = Body(1000);
  HttpResponse cut;
  cut.body = Body(200000);
  cut.drop_after = 50000;
  HttpResponse stalled;
  stalled.body = Body(100000);
  stalled.stall_after = 1000;
  stalled.stall_ms = 20000;
  server_.Serve("/404", not_found);
  server_.Serve("/500", broken);
  server_.Serve("/206", partial_unasked);
  server_.Serve("/cut", cut);
  server_.Serve("/stall", stalled);

  const struct {
    const char* name;
    std::string path;
    int timeout;
    int error;
  } kCases[] = {
      {"404", "/404", 10, 404},
      {"500", "/500", 10, 500},
      {"206 without a range", "/206", 10, 206},
      {"connection dropped mid-body", "/cut", 10, CURLE_PARTIAL_FILE},
      {"stall longer than the time-out", "/stall", 2, CURLE_OPERATION_TIMEDOUT},
  };
  for (const auto& c : kCases) {
    const std::wstring path = folder_.File(L"pkg.bin");
    ASSERT_TRUE(test::WriteWholeFile(path, "an older file"));
    int error = -1;
    const DWORD start = GetTickCount();
    EXPECT_EQ(DownloadToFile(server_.Url(c.path), path, &error, nullptr, c.timeout),
              kDownloadFailed)
        << c.name;
    EXPECT_EQ(error, c.error) << c.name;
    EXPECT_FALSE(test::FileExists(path)) << c.name;
    EXPECT_LT(GetTickCount() - start, static_cast<DWORD>(c.timeout * 1000 + 3000)) << c.name;
  }
}

TEST_F(DownloadToFileTest, RefusesEmptyArgumentsAndUnwritableTargets) {
  HttpResponse ok;
  ok.body = "payload";
  server_.Serve("/ok", ok);
  int error = -1;
  EXPECT_EQ(DownloadToFile(L"", folder_.File(L"x"), &error, nullptr, 10), kDownloadBadArguments);
  EXPECT_EQ(DownloadToFile(server_.Url("/ok"), L"", &error, nullptr, 10), kDownloadBadArguments);
  EXPECT_EQ(error, -1);

  // A folder cannot be made below a file: the writes fail and abort the transfer.
  ASSERT_TRUE(test::WriteWholeFile(folder_.File(L"plain"), "x"));
  EXPECT_EQ(DownloadToFile(server_.Url("/ok"), folder_.File(L"plain\\sub\\pkg.bin"), &error,
                           nullptr, 10),
            kDownloadFailed);
  EXPECT_EQ(error, CURLE_WRITE_ERROR);
}

TEST_F(DownloadToFileTest, ProgressReceiverAbortsAndRedirectsAreFollowed) {
  HttpResponse big;
  big.body = Body(1 << 20);
  big.chunk = 4096;
  big.chunk_delay_ms = 5;
  server_.Serve("/big", big);
  test::RecordingProgress abort_early(3, 7);
  int error = -1;
  EXPECT_EQ(DownloadToFile(server_.Url("/big"), folder_.File(L"big"), &error, &abort_early, 30),
            kDownloadFailed);
  EXPECT_EQ(error, CURLE_ABORTED_BY_CALLBACK);
  EXPECT_EQ(abort_early.calls.size(), 3u);

  HttpResponse moved;
  moved.status = 302;
  moved.headers = {{"Location", "/big"}};
  server_.Serve("/moved", moved);
  EXPECT_EQ(DownloadToFile(server_.Url("/moved"), folder_.File(L"moved"), &error, nullptr, 30),
            kDownloadOk);
  std::string written;
  ASSERT_TRUE(test::ReadWholeFile(folder_.File(L"moved"), &written));
  EXPECT_EQ(written.size(), big.body.size());
}

}  // namespace
}  // namespace kbase

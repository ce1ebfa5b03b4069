// The resumable download: resumes after timed-out attempts, gives up after its
// schedule, and logs each attempt.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "download/curl_downloader.h"
#include "download/recording_progress.h"
#include "support/http_test_server.h"
#include "support/log_capture.h"
#include "support/win_test_util.h"

namespace kbase {
namespace {

using test::HttpResponse;

std::string Body(size_t size) {
  std::string body(size, '\0');
  for (size_t i = 0; i < size; ++i) body[i] = static_cast<char>((i * 131) >> 3);
  return body;
}

// A quick schedule: attempts of 2 s, so a stalled server costs seconds, not minutes.
KCurlDownloader::Schedule Quick(int attempts) {
  KCurlDownloader::Schedule schedule;
  schedule.attempts = attempts;
  schedule.attempt_timeout_s = 2;
  return schedule;
}

bool Contains(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

class CurlDownloaderTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(server_.Start()); }
  test::HttpTestServer server_;
  test::TempFolder folder_;
  test::LogCapture log_;
};

TEST(CurlDownloaderSchedule, DefaultsAre605AttemptsOf10SecondsWith500msPauses) {
  const KCurlDownloader::Schedule schedule;
  EXPECT_EQ(schedule.attempts, 605);
  EXPECT_EQ(schedule.attempt_timeout_s, 10);
  EXPECT_EQ(schedule.pause_ms, 500u);
}

TEST_F(CurlDownloaderTest, ResumesAfterATimedOutAttemptWithoutPausing) {
  HttpResponse stalling;
  stalling.body = Body(400000);
  stalling.stall_after = 150000;
  stalling.stall_ms = 30000;
  // Later attempts carry a range, so they start past the stall point.
  server_.Serve("/pkg", [stalling](const test::HttpRequest& request) {
    HttpResponse response = stalling;
    if (request.HasHeader("Range")) response.stall_after = HttpResponse::kNever;
    return response;
  });
  const std::wstring path = folder_.File(L"sub\\pkg.exe");
  test::RecordingProgress progress;
  int error = -1;

  EXPECT_EQ(KCurlDownloader::Download(server_.Url("/pkg"), path, &error, &progress, Quick(5)),
            kCurlDownloadOk);

  std::string written;
  ASSERT_TRUE(test::ReadWholeFile(path, &written));
  EXPECT_EQ(written.size(), stalling.body.size());
  EXPECT_TRUE(written == stalling.body);
  EXPECT_EQ(error, 206);
  const auto requests = server_.RequestsFor("/pkg");
  ASSERT_EQ(requests.size(), 3u);  // probe, timed-out attempt, resumed attempt
  EXPECT_EQ(requests[0].method, "HEAD");
  EXPECT_FALSE(requests[1].HasHeader("Range"));
  EXPECT_EQ(requests[2].Header("Range"), "bytes=150000-");
  EXPECT_FALSE(requests[1].HasHeader("User-Agent"));  // attempts send no header lines
  ASSERT_FALSE(progress.calls.empty());
  EXPECT_EQ(progress.calls.back().total, 400000);

  const auto lines = log_.Messages();
  EXPECT_TRUE(Contains(lines, "DownloadControl -- Start"));
  EXPECT_TRUE(Contains(lines, "DownloadControl -- ExE CurlCode = 28, Count = 1, "
                              "CurrentSize = 150000, ResCode = 0"));
  EXPECT_TRUE(Contains(lines, "ExecuteDownload ResponseCode = 206"));
  EXPECT_TRUE(Contains(lines, "DownloadControl -- ExE CurlCode = 0, Count = 2, "
                              "CurrentSize = 400000, ResCode = 206"));
  EXPECT_TRUE(Contains(lines, "DownloadControl -- End HRESULT = 0, Count = 2"));
}

TEST_F(CurlDownloaderTest, AServerIgnoringTheRangeFailsEveryResumedAttempt) {
  HttpResponse no_ranges;
  no_ranges.body = Body(200000);
  no_ranges.ranges = false;
  no_ranges.stall_after = 50000;
  no_ranges.stall_ms = 30000;
  server_.Serve("/pkg", no_ranges);
  const std::wstring path = folder_.File(L"pkg.exe");
  int error = -1;
  EXPECT_EQ(KCurlDownloader::Download(server_.Url("/pkg"), path, &error, nullptr, Quick(3)),
            kCurlDownloadAttemptsExhausted);
  // The transfer library refuses a whole body in answer to a range, so nothing is
  // appended after the first attempt's bytes.
  EXPECT_EQ(error, CURLE_RANGE_ERROR);
  std::string written;
  ASSERT_TRUE(test::ReadWholeFile(path, &written));
  EXPECT_EQ(written.size(), 50000u);
  EXPECT_TRUE(written == no_ranges.body.substr(0, 50000));
}

TEST_F(CurlDownloaderTest, GivesUpAfterItsAttemptsKeepingWhatArrived) {
  HttpResponse not_found;
  not_found.status = 404;
  not_found.body = "gone";
  server_.Serve("/pkg", not_found);
  const std::wstring path = folder_.File(L"pkg.exe");
  int error = -1;
  const DWORD start = GetTickCount();
  EXPECT_EQ(KCurlDownloader::Download(server_.Url("/pkg"), path, &error, nullptr, Quick(3)),
            kCurlDownloadAttemptsExhausted);
  EXPECT_GE(GetTickCount() - start, 1400u);  // a 500 ms pause after each failed attempt
  EXPECT_EQ(error, 404);
  EXPECT_EQ(server_.RequestsFor("/pkg").size(), 4u);  // the probe and three attempts
  // The first error body is kept as received bytes; later attempts resume past it.
  std::string written;
  ASSERT_TRUE(test::ReadWholeFile(path, &written));
  EXPECT_EQ(written, "gone");
  EXPECT_TRUE(Contains(log_.Messages(), "DownloadControl -- End HRESULT = 259, Count = 4"));
}

TEST_F(CurlDownloaderTest, ProbeAndFileFailuresEndBeforeAnyAttempt) {
  HttpResponse unsized;
  unsized.body = "no length";
  unsized.content_length = false;
  server_.Serve("/unsized", unsized);
  HttpResponse ok;
  ok.body = "payload";
  server_.Serve("/ok", ok);
  ASSERT_TRUE(test::WriteWholeFile(folder_.File(L"plain"), "x"));

  // A port that nothing listens on: the probe's transfer fails.
  test::HttpTestServer closed;
  ASSERT_TRUE(closed.Start());
  const std::wstring dead_url = closed.Url("/pkg");
  closed.Stop();

  const struct {
    const char* name;
    std::wstring url;
    std::wstring path;
    int result;
    int error;
    const char* line;
  } kCases[] = {
      {"empty url", L"", folder_.File(L"a"), kCurlDownloadInvalid, -1,
       "DownloadControl curlExecuter Invalid"},
      {"empty path", server_.Url("/ok"), L"", kCurlDownloadInvalid, -1,
       "DownloadControl curlExecuter Invalid"},
      {"no Content-Length", server_.Url("/unsized"), folder_.File(L"b"),
       kCurlDownloadNoContentLength, -1, "DownloadControl GetDownloadFileLength Failure"},
      {"probe cannot connect", dead_url, folder_.File(L"c"), kCurlDownloadProbeFailed,
       CURLE_COULDNT_CONNECT, "DownloadControl GetDownloadFileLength Failure"},
      {"file cannot be created", server_.Url("/ok"), folder_.File(L"plain\\sub\\d"),
       kCurlDownloadCreateFileFailed, -1, "DownloadControl CreateFile Failure"},
  };
  for (const auto& c : kCases) {
    int error = -1;
    EXPECT_EQ(KCurlDownloader::Download(c.url, c.path, &error, nullptr, Quick(2)), c.result)
        << c.name;
    EXPECT_EQ(error, c.error) << c.name;
    EXPECT_TRUE(Contains(log_.Messages(), c.line)) << c.name;
  }
  EXPECT_TRUE(server_.RequestsFor("/ok").size() <= 1u);  // at most the probe
}

}  // namespace
}  // namespace kbase

#pragma once
// The resumable download: attempts of at most 10 seconds, each resumed from the bytes
// already written, up to 605 attempts. Used as the fallback after a timed-out package
// download.
#include <windows.h>

#include <cstdint>
#include <string>

#include "common/win/scoped_handle.h"
#include "download/curl_handle.h"
#include "download/download_callback.h"

namespace kbase {

enum CurlDownloaderResult {
  kCurlDownloadOk = 0,
  kCurlDownloadNoHandle = 255,
  kCurlDownloadInvalid = 256,
  kCurlDownloadProbeFailed = 257,
  kCurlDownloadCreateFileFailed = 258,
  kCurlDownloadAttemptsExhausted = 259,
  kCurlDownloadNoContentLength = 260,
};

// The attempt schedule. Tests shorten it; the installer always uses the defaults.
struct KCurlDownloadSchedule {
  int attempts = 605;
  DWORD pause_ms = 500;  // after a failed attempt, except one that timed out
  long attempt_timeout_s = 10;
};

class KCurlDownloader {
 public:
  using Schedule = KCurlDownloadSchedule;

  KCurlDownloader(const std::wstring& url, const std::wstring& path,
                  IDownloadCallback* progress, Schedule schedule = Schedule());
  virtual ~KCurlDownloader() = default;
  KCurlDownloader(const KCurlDownloader&) = delete;
  KCurlDownloader& operator=(const KCurlDownloader&) = delete;

  // The entry point: 255 when no transfer handle can be made, else DownloadControl.
  static int Download(const std::wstring& url, const std::wstring& path, int* error,
                      IDownloadCallback* progress, Schedule schedule = Schedule());

  int DownloadControl(int* error);

  bool IsValid() const { return !url_.empty() && !path_.empty() && transfer_; }
  const std::wstring& url() const { return url_; }
  int32_t file_length() const { return file_length_; }
  void set_file_length(int32_t length) { file_length_ = length; }
  int32_t current_size() const { return current_size_; }

 private:
  // One attempt on the record's own handle: 0 or the first failing libcurl code.
  int ExecuteDownload(long* status);
  static size_t WriteBlock(char* data, size_t size, size_t count, void* self);
  static int ReportProgress(void* self, curl_off_t total, curl_off_t now, curl_off_t,
                            curl_off_t);

  std::wstring url_;
  std::wstring path_;
  int32_t file_length_ = 0;
  int32_t current_size_ = 0;
  ScopedHandle file_;
  ScopedCurl transfer_;
  IDownloadCallback* progress_;
  Schedule schedule_;
};

// Learns the Content-Length of the record's URL with a header-only request on a handle
// of its own. 0 with the length set; 257 (the transfer's code goes to `error`, which may
// be null) or 260.
int GetDownloadFileLength(KCurlDownloader& record, int* error);

}  // namespace kbase

#include "download/curl_downloader.h"

#include "common/win/ansi_text.h"
#include "config/directory_tree.h"
#include "download/content_length.h"
#include "main/install_log.h"

namespace kbase {

KCurlDownloader::KCurlDownloader(const std::wstring& url, const std::wstring& path,
                                 IDownloadCallback* progress, Schedule schedule)
    : url_(url), path_(path), transfer_(NewCurl()), progress_(progress), schedule_(schedule) {}

int KCurlDownloader::Download(const std::wstring& url, const std::wstring& path, int* error,
                              IDownloadCallback* progress, Schedule schedule) {
  KCurlDownloader record(url, path, progress, schedule);
  if (!record.transfer_) return kCurlDownloadNoHandle;
  return record.DownloadControl(error);
}

int KCurlDownloader::DownloadControl(int* error) {
  KLog("DownloadControl -- Start");
  if (!IsValid()) {
    KLog("DownloadControl curlExecuter Invalid");
    return kCurlDownloadInvalid;
  }
  const int probe = GetDownloadFileLength(*this, error);
  if (probe != 0) {
    KLog("DownloadControl GetDownloadFileLength Failure");
    return probe;
  }

  DeleteFileW(path_.c_str());
  file_.Reset();
  CreateParentFolders(path_);
  file_.Reset(CreateFileW(path_.c_str(), GENERIC_ALL, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file_.valid()) {
    KLog("DownloadControl CreateFile Failure");
    return kCurlDownloadCreateFileFailed;
  }

  int result = kCurlDownloadAttemptsExhausted;
  long status = 0;
  int code = 0;
  int count = 1;
  for (; count <= schedule_.attempts; ++count) {
    code = ExecuteDownload(&status);
    KLog("DownloadControl -- ExE CurlCode = %d, Count = %d, CurrentSize = %d, ResCode = %d", code,
         count, current_size_, static_cast<int>(status));
    if (code == 0 && (status == 206 || status == 200)) {
      result = kCurlDownloadOk;
      break;
    }
    // A timed-out attempt ends with fresh bytes; resume from them at once.
    if (code != CURLE_OPERATION_TIMEDOUT) Sleep(schedule_.pause_ms);
  }

  SetEndOfFile(file_.get());
  file_.Reset();
  if (error != nullptr) *error = code != 0 ? code : static_cast<int>(status);
  KLog("DownloadControl -- End HRESULT = %d, Count = %d", result, count);
  return result;
}

int KCurlDownloader::ExecuteDownload(long* status) {
  const std::string ansi_url = ToAnsi(url_);
  if (!IsValid() || ansi_url.empty()) return CURLE_FAILED_INIT;
  CurlChain chain(transfer_.get());
  chain.Set(CURLOPT_URL, ansi_url.c_str())
      .Set(CURLOPT_HEADER, 0L)
      .Set(CURLOPT_TIMEOUT, schedule_.attempt_timeout_s)
      .Set(CURLOPT_NOSIGNAL, 1L)
      .Set(CURLOPT_WRITEFUNCTION, &KCurlDownloader::WriteBlock)
      .Set(CURLOPT_WRITEDATA, this)
      .Set(CURLOPT_NOPROGRESS, 0L)
      .Set(CURLOPT_XFERINFOFUNCTION, &KCurlDownloader::ReportProgress)
      .Set(CURLOPT_XFERINFODATA, this)
      .Set(CURLOPT_RESUME_FROM, static_cast<long>(current_size_))
      .Perform();
  if (chain.code() == CURLE_OK) {
    long response = 0;
    chain.ResponseCode(&response);
    KLog("ExecuteDownload ResponseCode = %d", static_cast<int>(response));
    *status = response;
  }
  return chain.code();
}

size_t KCurlDownloader::WriteBlock(char* data, size_t size, size_t count, void* self) {
  auto* record = static_cast<KCurlDownloader*>(self);
  const size_t bytes = size * count;
  DWORD written = 0;
  WriteFile(record->file_.get(), data, static_cast<DWORD>(bytes), &written, nullptr);
  record->current_size_ += static_cast<int32_t>(bytes);
  return bytes;  // always taken: the next attempt resumes from current_size_
}

int KCurlDownloader::ReportProgress(void* self, curl_off_t total, curl_off_t now, curl_off_t,
                                    curl_off_t) {
  auto* record = static_cast<KCurlDownloader*>(self);
  if (record->progress_ == nullptr) return 0;
  const double fraction =
      static_cast<double>(total) > 1e-6 ? static_cast<double>(now) / static_cast<double>(total)
                                        : 0.0;
  return record->progress_->OnProgress(record->file_length_, fraction, 0);
}

int GetDownloadFileLength(KCurlDownloader& record, int* error) {
  ScopedCurl curl = NewCurl();
  ScopedCurlList headers = StandardHeaders();
  const std::string ansi_url = ToAnsi(record.url());
  BlockList blocks;
  CURLcode code = CURLE_FAILED_INIT;
  if (curl) {
    CurlChain chain(curl.get());
    chain.Set(CURLOPT_URL, ansi_url.c_str())
        .Set(CURLOPT_HTTPHEADER, headers.get())
        .Set(CURLOPT_HEADER, 1L)
        .Set(CURLOPT_NOBODY, 1L)
        .Set(CURLOPT_TIMEOUT, 120L)
        .Set(CURLOPT_WRITEFUNCTION, &BlockList::Write)
        .Set(CURLOPT_WRITEDATA, &blocks)
        .Perform();
    code = chain.code();
  }
  const std::wstring text = FromAnsi(blocks.Join());
  if (code != CURLE_OK || text.empty()) {
    if (error != nullptr) *error = code;
    return kCurlDownloadProbeFailed;
  }
  int32_t length = 0;
  if (!ParseContentLength(text, &length)) return kCurlDownloadNoContentLength;
  record.set_file_length(length);
  return 0;
}

}  // namespace kbase

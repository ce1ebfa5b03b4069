#include "download/download_file.h"

#include "common/win/ansi_text.h"
#include "config/directory_tree.h"
#include "download/curl_downloader.h"
#include "download/curl_handle.h"
#include "download/proxy_settings.h"

namespace kbase {

namespace {

constexpr long kDefaultTimeout = 300;
// Larger blocks than the library's 16 KiB: fewer socket reads and file writes per package.
constexpr long kReceiveBuffer = 512 * 1024;

size_t WriteToFile(char* data, size_t size, size_t count, void* file) {
  const size_t bytes = size * count;
  if (FAILED(static_cast<CDownloadFile*>(file)->Write(data, static_cast<DWORD>(bytes)))) {
    return 0;  // aborts the transfer
  }
  return bytes;
}

int ReportProgress(void* file, curl_off_t total, curl_off_t now, curl_off_t, curl_off_t) {
  const double fraction =
      static_cast<double>(total) > 1e-6 ? static_cast<double>(now) / static_cast<double>(total)
                                        : 0.0;
  return static_cast<CDownloadFile*>(file)->OnProgress(fraction);
}

}  // namespace

HRESULT CDownloadFile::Open() {
  file_.Reset();
  if (!CreateParentFolders(path_)) return E_FAIL;
  file_.Reset(CreateFileW(path_.c_str(), GENERIC_ALL, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
  return file_.valid() ? S_OK : HRESULT_FROM_WIN32(GetLastError());
}

HRESULT CDownloadFile::Seek(LONG offset) {
  if (!file_.valid()) return E_FAIL;
  return SetFilePointer(file_.get(), offset, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER
             ? HRESULT_FROM_WIN32(GetLastError())
             : S_OK;
}

HRESULT CDownloadFile::Write(const void* data, DWORD size) {
  if (!file_.valid()) return E_FAIL;
  DWORD written = 0;
  if (!WriteFile(file_.get(), data, size, &written, nullptr) || written != size) return E_FAIL;
  return S_OK;
}

int CDownloadFile::Close() {
  if (file_.valid()) SetEndOfFile(file_.get());
  file_.Reset();
  return 0;
}

int CDownloadFile::OnProgress(double fraction) {
  return progress_ != nullptr ? progress_->OnProgress(total_length_, fraction, 0) : 0;
}

int DownloadToFile(const std::wstring& url, const std::wstring& path, int* error,
                   IDownloadCallback* progress, int timeout_seconds) {
  if (url.empty() || path.empty()) return kDownloadBadArguments;

  CDownloadFile file(path, progress, 0);
  {
    // The length only feeds progress; a failed probe is no reason to stop.
    KCurlDownloader probe(url, path, nullptr);
    if (GetDownloadFileLength(probe, nullptr) == 0) file.set_total_length(probe.file_length());
  }
  DeleteFileW(path.c_str());

  ScopedCurl curl = NewCurl();
  ScopedCurlList headers = StandardHeaders();
  const std::string ansi_url = ToAnsi(url);
  const long timeout = timeout_seconds != 0 ? timeout_seconds : kDefaultTimeout;
  long status = 0;
  CURLcode code = CURLE_FAILED_INIT;
  if (curl) {
    CurlChain chain(curl.get());
    chain.Set(CURLOPT_URL, ansi_url.c_str())
        .Set(CURLOPT_HTTPGET, 1L)
        .Set(CURLOPT_HTTPHEADER, headers.get())
        .Set(CURLOPT_TIMEOUT, timeout)
        .Set(CURLOPT_CONNECTTIMEOUT, 10L)
        .Set(CURLOPT_BUFFERSIZE, kReceiveBuffer)
        .Set(CURLOPT_WRITEFUNCTION, &WriteToFile)
        .Set(CURLOPT_WRITEDATA, static_cast<CDownloadFile*>(&file))
        .Set(CURLOPT_NOPROGRESS, 0L)
        .Set(CURLOPT_XFERINFOFUNCTION, &ReportProgress)
        .Set(CURLOPT_XFERINFODATA, static_cast<CDownloadFile*>(&file))
        .Set(CURLOPT_FOLLOWLOCATION, 1L)
        .Then(&SetupProxy);
    file.Open();
    chain.Perform().ResponseCode(&status);
    file.Close();
    code = chain.code();
  }
  if (code != CURLE_OK || status != 200) {
    DeleteFileW(path.c_str());
    if (error != nullptr) *error = code != CURLE_OK ? static_cast<int>(code) : static_cast<int>(status);
    return kDownloadFailed;
  }
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES ? kDownloadOk
                                                                      : kDownloadFileMissing;
}

}  // namespace kbase

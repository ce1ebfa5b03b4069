#pragma once
// Single-transfer downloads into a file: banner images, packages, self-update builds.
#include <windows.h>

#include <string>

#include "common/win/scoped_handle.h"
#include "download/download_callback.h"

namespace kbase {

// The file sink of a transfer.
class INebrelWebFile {
 public:
  virtual ~INebrelWebFile() = default;
  virtual HRESULT Open() = 0;
  virtual HRESULT Seek(LONG offset) = 0;
  virtual HRESULT Write(const void* data, DWORD size) = 0;
  virtual int Close() = 0;
  virtual int OnProgress(double fraction) = 0;
};

class CDownloadFile : public INebrelWebFile {
 public:
  CDownloadFile(const std::wstring& path, IDownloadCallback* progress, int total_length)
      : total_length_(total_length), progress_(progress), path_(path) {}

  // Creates the missing folders and the file (create-always, read sharing).
  HRESULT Open() override;
  HRESULT Seek(LONG offset) override;
  HRESULT Write(const void* data, DWORD size) override;
  // Ends the file at the current file pointer and closes it.
  int Close() override;
  int OnProgress(double fraction) override;

  void set_total_length(int length) { total_length_ = length; }

 private:
  int total_length_;
  IDownloadCallback* progress_;
  std::wstring path_;
  ScopedHandle file_;
};

// Results of DownloadToFile.
enum DownloadToFileResult {
  kDownloadOk = 0,
  kDownloadBadArguments = 51,
  kDownloadFileMissing = 53,
  kDownloadFailed = 250,
};

// Downloads `url` into `path` in one transfer. `timeout_seconds` 0 means 300. On 250 the
// file is deleted and `error` (may be null) gets the libcurl code or the HTTP status.
int DownloadToFile(const std::wstring& url, const std::wstring& path, int* error,
                   IDownloadCallback* progress, int timeout_seconds);

}  // namespace kbase

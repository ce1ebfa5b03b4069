#pragma once

namespace kbase {

// Progress receiver of a download. Returns 0 to go on; anything else aborts the
// running transfer.
class IDownloadCallback {
 public:
  virtual ~IDownloadCallback() = default;
  virtual int OnProgress(int total_length, double fraction, int reserved) = 0;
};

}  // namespace kbase

#pragma once
#include <vector>

#include "download/download_callback.h"

namespace kbase::test {

// Records every progress call; answers `abort_answer` from call number `abort_at` on.
class RecordingProgress : public IDownloadCallback {
 public:
  struct Call {
    int total;
    double fraction;
    int reserved;
  };

  explicit RecordingProgress(size_t abort_at = static_cast<size_t>(-1), int abort_answer = 1)
      : abort_at_(abort_at), abort_answer_(abort_answer) {}

  int OnProgress(int total, double fraction, int reserved) override {
    calls.push_back({total, fraction, reserved});
    return calls.size() >= abort_at_ ? abort_answer_ : 0;
  }

  std::vector<Call> calls;

 private:
  size_t abort_at_;
  int abort_answer_;
};

}  // namespace kbase::test

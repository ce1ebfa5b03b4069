#pragma once
// Opens the process-wide install log into a temporary file for the life of the object,
// so tests can assert the lines a component logged.
#include <string>
#include <vector>

#include "support/win_test_util.h"

namespace kbase::test {

class LogCapture {
 public:
  LogCapture();
  ~LogCapture();
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;

  // Closes the log (so every queued line is on disk) and returns the messages without
  // their time prefix; the log is opened again for later lines.
  std::vector<std::string> Messages();

 private:
  TempFolder folder_;
  std::wstring path_;
};

}  // namespace kbase::test

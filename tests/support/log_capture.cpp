#include "support/log_capture.h"

#include "main/install_log.h"

namespace kbase::test {

namespace {

// "2026-12-11 03:12:59 123  message": the message starts after the two spaces that
// follow the milliseconds.
std::string StripTime(const std::string& line) {
  const size_t at = line.find("  ");
  return at == std::string::npos ? line : line.substr(at + 2);
}

}  // namespace

LogCapture::LogCapture() : path_(folder_.File(L"kinst.log")) {
  KInstallLog::Instance().Close();
  KInstallLog::Instance().Open(path_);
}

LogCapture::~LogCapture() { KInstallLog::Instance().Close(); }

std::vector<std::string> LogCapture::Messages() {
  KInstallLog::Instance().Close();
  std::string text;
  std::vector<std::string> messages;
  if (ReadWholeFile(path_, &text)) {
    size_t start = 0, end;
    while ((end = text.find("\r\n", start)) != std::string::npos) {
      messages.push_back(StripTime(text.substr(start, end - start)));
      start = end + 2;
    }
  }
  KInstallLog::Instance().Open(path_);
  return messages;
}

}  // namespace kbase::test

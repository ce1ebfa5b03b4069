// The telemetry reply as the transport receives it: frame check, text conversion and the
// INI-style parser. Also feeds the raw bytes to the parser without a frame, so inputs
// need not carry a valid CRC to reach it.
#include <cstddef>
#include <cstdint>
#include <string>

#include "report/report_ansi.h"
#include "report/report_reply.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  std::wstring text;
  KDirectVestat::JudgeReply(bytes, &text);
  KDirectVestat::ReplySections sections;
  if (KDirectVestat::ParseReplyText(KDirectVestat::ReportTextFromAnsi(bytes), &sections)) {
    KDirectVestat::ReplyConfirms(sections);
  }
  return 0;
}

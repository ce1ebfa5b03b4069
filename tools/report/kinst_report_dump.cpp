// kinst-report-dump: prints telemetry messages as readable text, for operators.
//   kinst-report-dump FILE...
// Each FILE holds one message body as POSTed to "/c/". The string mask is the one this
// tool was built with (KINST_STRING_MASK); it must match the installer's.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "report/report_decoder.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s FILE...\n", argv[0]);
    return 2;
  }
  int failures = 0;
  for (int i = 1; i < argc; ++i) {
    std::ifstream file(argv[i], std::ios::binary);
    if (!file) {
      std::fprintf(stderr, "%s: cannot open\n", argv[i]);
      ++failures;
      continue;
    }
    const std::string body((std::istreambuf_iterator<char>(file)),
                           std::istreambuf_iterator<char>());
    KDirectVestat::DecodedMessage message;
    std::string error;
    if (!KDirectVestat::DecodeMessage(body, &message, &error)) {
      std::fprintf(stderr, "%s: %s\n", argv[i], error.c_str());
      ++failures;
      continue;
    }
    std::printf("%s\n%s", argv[i], KDirectVestat::FormatMessage(message).c_str());
  }
  return failures == 0 ? 0 : 1;
}

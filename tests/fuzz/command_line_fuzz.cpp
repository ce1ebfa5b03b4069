// Feeds arbitrary text to the command-line parser and the channel identity readers.
// Input bytes become UTF-16 units in pairs; the first half is the command line, the
// second half the program path.
#include <cstddef>
#include <cstdint>
#include <string>

#include "main/channel_identity.h"
#include "main/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::wstring text;
  for (size_t i = 0; i + 1 < size; i += 2) text.push_back(static_cast<wchar_t>(data[i] | data[i + 1] << 8));
  const std::wstring line = text.substr(0, text.size() / 2);
  const std::wstring path = text.substr(text.size() / 2);
  const kbase::CommandLineMap options = kbase::ParseCommandLine(line);
  for (const auto& option : options) {
    if (option.first.size() > line.size() || option.second.size() > line.size()) __builtin_trap();
  }
  kbase::ChannelIdentity identity;
  kbase::ParseIdString(line, &identity);
  kbase::ReadChannelIdentity(line, path);
  return 0;
}

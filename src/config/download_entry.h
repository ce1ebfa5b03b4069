#pragma once
// One package of a channel: a "dlfile" element of the channel configuration.
// Strings are the document's narrow (UTF-8) bytes.
#include <cstdint>
#include <string>

namespace kbase {

struct KDownloadEntry {
  std::string url;
  std::string md5;
  std::string moduletype;  // "dll" or "exe", any case
  std::string path;
  std::string param;
  std::string funcname;
  std::string initfuncname;
  std::string uninitfuncname;  // never taken over from the document
  std::string downloadtype;
  int32_t waitexit = 0;
  int32_t sd = 0;
  int32_t ndp = 0;
  int32_t downloadtime = 0;
  std::string condition;
  int32_t tovelpack = 1;
  int32_t show = 0;
  int32_t showpop = 0;
  int32_t delaydownload = 0;
  int32_t istoveldownloadswitch = 0;

  bool IsValid() const {
    return !url.empty() && !md5.empty() && !moduletype.empty() && !path.empty() &&
           !downloadtype.empty();
  }
};

}  // namespace kbase

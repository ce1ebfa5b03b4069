#include "download/curl_handle.h"

namespace kbase {

ScopedCurl NewCurl() {
  static const CURLcode global = curl_global_init(CURL_GLOBAL_ALL);
  if (global != CURLE_OK) return nullptr;
  return ScopedCurl(curl_easy_init());
}

ScopedCurlList MakeHeaderList(const std::vector<std::string>& lines) {
  ScopedCurlList list;
  for (const std::string& line : lines) {
    curl_slist* longer = curl_slist_append(list.get(), line.c_str());
    if (longer == nullptr) return nullptr;
    list.release();
    list.reset(longer);
  }
  return list;
}

ScopedCurlList StandardHeaders() {
  return MakeHeaderList(
      {"Content-Type: application/octet-stream", "User-Agent: Mozilla/4.0", "Accept: */*"});
}

size_t BlockList::Write(char* data, size_t size, size_t count, void* self) {
  static_cast<BlockList*>(self)->blocks_.emplace_back(data, size * count);
  return size * count;
}

std::string BlockList::Join() const {
  size_t total = 0;
  for (const std::string& block : blocks_) total += block.size();
  std::string joined;
  joined.reserve(total);
  for (const std::string& block : blocks_) joined += block;
  return joined;
}

size_t AppendToString(char* data, size_t size, size_t count, void* target) {
  static_cast<std::string*>(target)->append(data, size * count);
  return size * count;
}

}  // namespace kbase

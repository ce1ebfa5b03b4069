#pragma once
// Owners of libcurl handles and the pieces every transfer shares.
#include <curl/curl.h>

#include <memory>
#include <string>
#include <vector>

namespace kbase {

struct CurlDeleter {
  void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
using ScopedCurl = std::unique_ptr<CURL, CurlDeleter>;

struct CurlListDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using ScopedCurlList = std::unique_ptr<curl_slist, CurlListDeleter>;

// A new easy handle (null on failure); the library is initialised once per process.
ScopedCurl NewCurl();

// A header list from lines in order; null when a line cannot be added.
ScopedCurlList MakeHeaderList(const std::vector<std::string>& lines);

// "Content-Type: application/octet-stream", "User-Agent: Mozilla/4.0", "Accept: */*".
ScopedCurlList StandardHeaders();

// Collects a reply as copied blocks, joined once at the end.
class BlockList {
 public:
  static size_t Write(char* data, size_t size, size_t count, void* self);
  std::string Join() const;

 private:
  std::vector<std::string> blocks_;
};

// Appends every block to a caller's byte string.
size_t AppendToString(char* data, size_t size, size_t count, void* target);

// Sets options and runs steps in order; the first failure ends the chain and its code
// is kept.
class CurlChain {
 public:
  explicit CurlChain(CURL* curl) : curl_(curl) {}

  template <typename T>
  CurlChain& Set(CURLoption option, T value) {
    if (code_ == CURLE_OK) code_ = curl_easy_setopt(curl_, option, value);
    return *this;
  }
  // A step that returns 0 or a libcurl code.
  template <typename Step>
  CurlChain& Then(Step step) {
    if (code_ == CURLE_OK) code_ = static_cast<CURLcode>(step(curl_));
    return *this;
  }
  CurlChain& Perform() {
    if (code_ == CURLE_OK) code_ = curl_easy_perform(curl_);
    return *this;
  }
  CurlChain& ResponseCode(long* status) {
    if (code_ == CURLE_OK) code_ = curl_easy_getinfo(curl_, CURLINFO_RESPONSE_CODE, status);
    return *this;
  }
  CURLcode code() const { return code_; }

 private:
  CURL* curl_;
  CURLcode code_ = CURLE_OK;
};

}  // namespace kbase

#include "download/http_request.h"

#include "common/win/ansi_text.h"
#include "download/curl_handle.h"
#include "download/proxy_settings.h"

namespace kbase {

namespace {

constexpr int kNoTransferHandle = 2;

// The city services are slow; these time-outs are in seconds.
constexpr long kPostDataTimeout = 5000;
constexpr long kPostEmptyTimeout = 10000;

int Post(const std::wstring& url, const std::vector<std::string>& header_lines,
         const void* body, size_t size, long timeout, std::string* reply) {
  ScopedCurl curl = NewCurl();
  ScopedCurlList headers = MakeHeaderList(header_lines);
  if (!curl || !headers) return 0;
  const std::string ansi_url = ToAnsi(url);
  long status = 0;
  CurlChain chain(curl.get());
  chain.Set(CURLOPT_URL, ansi_url.c_str())
      .Set(CURLOPT_POST, 1L)
      .Set(CURLOPT_HTTPHEADER, headers.get())
      .Set(CURLOPT_POSTFIELDS, body)
      .Set(CURLOPT_POSTFIELDSIZE, static_cast<long>(size))
      .Set(CURLOPT_TIMEOUT, timeout)
      .Set(CURLOPT_CONNECTTIMEOUT, timeout)
      .Set(CURLOPT_WRITEFUNCTION, &AppendToString)
      .Set(CURLOPT_WRITEDATA, reply)
      .Perform()
      .ResponseCode(&status);
  return chain.code() == CURLE_OK ? static_cast<int>(status) : 0;
}

}  // namespace

int GetUrlContent(const std::wstring& url, std::string* body) {
  ScopedCurl curl = NewCurl();
  if (!curl) return kNoTransferHandle;
  ScopedCurlList headers = StandardHeaders();
  const std::string ansi_url = ToAnsi(url);
  BlockList blocks;
  long status = 0;
  CurlChain chain(curl.get());
  chain.Set(CURLOPT_URL, ansi_url.c_str())
      .Set(CURLOPT_HTTPGET, 1L)
      .Set(CURLOPT_HTTPHEADER, headers.get())
      .Set(CURLOPT_TIMEOUT, 10L)
      .Set(CURLOPT_CONNECTTIMEOUT, 10L)
      .Set(CURLOPT_WRITEFUNCTION, &BlockList::Write)
      .Set(CURLOPT_WRITEDATA, &blocks)
      .Set(CURLOPT_FOLLOWLOCATION, 1L)
      .Then(&SetupProxy)
      .Perform();
  const bool completed = chain.code() == CURLE_OK;
  chain.ResponseCode(&status);
  if (completed) *body = blocks.Join();
  if (chain.code() != CURLE_OK) return chain.code();
  return status == 200 ? 0 : static_cast<int>(status);
}

int PostData(const std::wstring& url, const void* body, size_t size, std::string* reply) {
  return Post(url, {"Content-Type: application/octet-stream", "User-Agent: Mozilla/4.0"}, body,
              size, kPostDataTimeout, reply);
}

int PostEmpty(const std::vector<std::string>& headers, const std::wstring& url,
              std::string* reply) {
  std::vector<std::string> lines = {"User-Agent: Mozilla/4.0"};
  lines.insert(lines.end(), headers.begin(), headers.end());
  return Post(url, lines, nullptr, 0, kPostEmptyTimeout, reply);
}

}  // namespace kbase

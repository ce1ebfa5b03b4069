// The transport half of KInstallReport: libcurl, so Windows only.
#include "report/install_report.h"

#include "download/curl_handle.h"
#include "download/proxy_settings.h"
#include "report/report_reply.h"

namespace KDirectVestat {

namespace {

// Seconds, for the connection and for the whole transfer.
constexpr long kSendTimeout = 10;

}  // namespace

int KInstallReport::Send() {
  std::string body;
  if (!BuildBody(&body)) return -1;

  kbase::ScopedCurl curl = kbase::NewCurl();
  // The endpoint expects this content type although the body is binary.
  kbase::ScopedCurlList headers = kbase::MakeHeaderList(
      {"Content-Type: application/x-www-form-urlencoded", "User-Agent: Mozilla/4.0",
       "Accept: */*"});
  if (!curl || !headers) return -1;
  const std::string url = "http://" + ReportHost() + "/c/";
  std::string reply;
  long status = 0;
  kbase::CurlChain chain(curl.get());
  chain.Set(CURLOPT_URL, url.c_str())
      .Set(CURLOPT_POST, 1L)
      .Set(CURLOPT_POSTFIELDS, body.data())
      .Set(CURLOPT_POSTFIELDSIZE, static_cast<long>(body.size()))
      .Set(CURLOPT_HTTPHEADER, headers.get())
      .Set(CURLOPT_TIMEOUT, kSendTimeout)
      .Set(CURLOPT_CONNECTTIMEOUT, kSendTimeout)
      .Set(CURLOPT_WRITEFUNCTION, &kbase::AppendToString)
      .Set(CURLOPT_WRITEDATA, &reply)
      .Then(&kbase::SetupProxy)
      .Perform()
      .ResponseCode(&status);
  if (chain.code() != CURLE_OK || status != 200) return -1;

  std::wstring text;
  const int result = JudgeReply(reply, &text);
  if (CheckReplyFrame(reply)) reply_text_ = std::move(text);
  return result;
}

}  // namespace KDirectVestat


#pragma once
// One telemetry message: finished blocks behind a 10-byte header, POSTed to the endpoint.
//
//   offset 0  2 bytes  total length, header included
//          2  1 byte   2
//          3  1 byte   1
//          4  2 bytes  number of blocks
//          6  4 bytes  CRC-32 of all block bytes
//         10  ...      the blocks in the order they were added
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "report/install_serialize.h"

namespace KDirectVestat {

class KInstallReport {
 public:
  static constexpr size_t kHeaderSize = 10;
  // The length field is 16 bits wide.
  static constexpr size_t kMaxMessageSize = 0xFFFF;

  KInstallReport() = default;
  virtual ~KInstallReport();
  KInstallReport(const KInstallReport&) = delete;
  KInstallReport& operator=(const KInstallReport&) = delete;

  // Takes a finished block.
  void AddBlock(std::unique_ptr<KInstallSerialize> block);

  // The request body; false (and nothing built) when a block is oversized or the message
  // would not fit its 16-bit length.
  bool BuildBody(std::string* body) const;

  // POSTs the message to "http://<report host>/c/". 0 when the endpoint confirmed it,
  // -1 otherwise (also when the message cannot be framed; then nothing is sent).
  int Send();

  // The reply text of the last Send whose reply frame checked out.
  const std::wstring& reply_text() const { return reply_text_; }

 private:
  std::vector<std::unique_ptr<KInstallSerialize>> blocks_;
  std::wstring reply_text_;
};

// The endpoint host ("name" or "name:port"): the build's, unless tests have set another.
std::string ReportHost();
// Tests point reports at their own server; an empty text restores the build's host.
void SetReportHostForTesting(const std::string& host);

}  // namespace KDirectVestat

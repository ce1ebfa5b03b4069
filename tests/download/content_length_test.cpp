// Content-Length from the header probe's text.
#include <gtest/gtest.h>

#include "download/content_length.h"

namespace kbase {
namespace {

TEST(ContentLength, FirstMatchingLineWins) {
  const struct {
    const wchar_t* headers;
    bool found;
    int32_t length;
  } kCases[] = {
      {L"HTTP/1.1 200 OK\r\nContent-Length: 1234\r\n\r\n", true, 1234},
      {L"HTTP/1.1 200 OK\r\nContent-Length:   123   \r\n", true, 123},
      {L"content-LENGTH:\t77\t\r\n", true, 77},
      {L"HTTP/1.1 200 OK\r\nX-Content-Length: 5\r\n\r\n", false, 0},
      {L"HTTP/1.1 200 OK\r\nContent-Length-X: 5\r\n", false, 0},
      {L"Content-Length: 9\r\nContent-Length: 10\r\n", true, 9},
      {L"Content-Length:\r\nContent-Length: 10\r\n", true, 10},  // empty value: line skipped
      {L": 5\r\nContent-Length: 6", true, 6},                    // empty name: skipped
      {L"Content-Length: abc", true, 0},
      {L"Content-Length: 12abc", true, 12},
      {L"Content-Length: 99999999999", true, 2147483647},
      {L"Content-Length: -5", true, -5},
      {L"\n\n\rContent-Length: 8\n", true, 8},  // bare LF and CR split lines
      {L"", false, 0},
      {L"HTTP/1.1 404 Not Found\r\n\r\n", false, 0},
  };
  for (const auto& c : kCases) {
    int32_t length = -1;
    EXPECT_EQ(ParseContentLength(c.headers, &length), c.found) << c.headers;
    if (c.found) EXPECT_EQ(length, c.length) << c.headers;
  }
}

}  // namespace
}  // namespace kbase

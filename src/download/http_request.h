#pragma once
// Whole-reply HTTP requests: configuration and update documents, city lookups.
#include <string>
#include <vector>

namespace kbase {

// GET into memory. 0; a libcurl code; the HTTP status when it is not 200 (the body is
// still filled); 2 when no transfer handle can be made.
int GetUrlContent(const std::wstring& url, std::string* body);

// POST of `size` bytes. The HTTP status, or 0 when the request did not complete.
// Every received block is appended to `reply`.
int PostData(const std::wstring& url, const void* body, size_t size, std::string* reply);

// POST without a body, with extra header lines after "User-Agent: Mozilla/4.0".
int PostEmpty(const std::vector<std::string>& headers, const std::wstring& url,
              std::string* reply);

}  // namespace kbase

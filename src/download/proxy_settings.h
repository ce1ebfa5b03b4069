#pragma once
#include <curl/curl.h>

namespace kbase {

// Applies the proxy configured for the installer (or the system's, in mode 1) to a
// transfer. 0, or the libcurl code of the first option that failed.
int SetupProxy(CURL* curl);

}  // namespace kbase

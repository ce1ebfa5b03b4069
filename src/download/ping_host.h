#pragma once

namespace kbase {

// Sends two ICMP echo requests to the host's first IPv4 address. The number of replies
// (0 to 2); -1 when the name cannot be resolved or Windows Sockets fails.
int PingHost(const char* host);

}  // namespace kbase

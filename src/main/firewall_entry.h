#pragma once
// The installer adds itself to the Windows Firewall's authorized applications for the
// run (its downloads are not blocked) and removes itself again at the end. Failures are
// silent; the results tell tests which path ran.
#include <string>

namespace kbase {

inline constexpr wchar_t kFirewallEntryName[] = L"KInstallTool";

// True when an entry was added now (false when one was enabled already, or on failure).
bool AddFirewallEntry(const std::wstring& program_path);
// True when an enabled entry was found and removed.
bool RemoveFirewallEntry(const std::wstring& program_path);

}  // namespace kbase

#pragma once
// What the start-up takes from the channel's servers before any window opens: the
// current banner image (from the CDN, over the one that came in the resource block) and,
// for channels that do not start plainly, the area list that decides the pop-up style and
// whether this machine counts as inside the channel's area.
#include <cstdint>
#include <string>

namespace kbase {

struct ChannelResources {
  int popup_style = 1;
  bool in_area = false;
  // The banner was downloaded: only then are the channel's own tables (unpacked with the
  // banner) used instead of the built-in ones.
  bool banner_fresh = false;
  std::wstring banner_url;  // the address asked, for the log
};

// install_res is the working folder followed by "install_res" (no trailing backslash).
ChannelResources FetchChannelResources(const std::wstring& install_res, int32_t tid,
                                       int32_t source);

// Loads the skin, style and string tables: the channel's own (6000 to 6002 from
// install_res) when `channel_tables`, else the built-in ones (10000 to 10002).
void LoadUiTables(const std::wstring& install_res, bool channel_tables);

// The area check: downloads the area list into install_res\evade.dat and reads it.
// popup_style becomes its "popstyle" (0 when missing); when that is neither 0 nor 1,
// area receives its "area" text. Nothing changes when the list is missing or not JSON.
void CheckArea(const std::wstring& install_res, int* popup_style, std::string* area);

// Tests serve the configuration server and the CDN from ports of their own; empty texts
// restore the build's hosts.
void SetChannelResourceHostsForTesting(const std::string& config_host, const std::string& cdn_host);

}  // namespace kbase

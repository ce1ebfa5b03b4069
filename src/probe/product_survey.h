#pragma once
// Which other security and system-tool products are installed, for reports and for the
// start-up decisions that depend on two of them. Every call reads the registry and the
// file system afresh; nothing is cached, so any thread may call.
#include <string>
#include <vector>

namespace kbase {

struct SurveyResult {
  std::wstring member;
  bool present = false;
};

// The nine presence tests, in survey order.
std::vector<SurveyResult> RunProductSurvey();

// The survey as a compact JSON object text: each member 1 or 0, sorted by name
// ("2345Explorer" first, "tovel" last).
std::wstring GetSurveyText();

// 360 Safe: its three files in the uninstall location (or, with none registered, all in
// one of the default folders) and one of its two services registered.
bool Is360Present();

// Huorong: its two tray and daemon programs under the registered install path.
bool IsHuorongPresent();

// The Tencent manager's real-time protection: its install folder registered and
// existing, and its "QQPCRTP" service registered.
bool IsTencentRealTimeProtectionPresent();

// The instant messenger: "bin\qq.exe" and "bin\IM.dll" in its registered folder.
// `folder` (optional) receives that folder, with its trailing backslash.
bool IsInstantMessengerPresent(std::wstring* folder = nullptr);

// Opens a link: through the instant messenger's web viewer ("bin\Timwp.exe") with
// `parameters` when the messenger is present, the viewer exists and `parameters` is
// given (non-null, non-empty); otherwise, or when that open fails, shell-opens
// `fallback_target`. True when an open succeeded.
bool OpenLink(const wchar_t* parameters, const std::wstring& fallback_target);

// A service of that name is registered (its key under the services key opens).
bool IsServiceRegistered(const std::wstring& name);

}  // namespace kbase

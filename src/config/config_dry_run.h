#pragma once
// A dry run of a channel configuration for its operators: how the installer would judge
// it on this machine, through the installer's own evaluation code, without downloading
// or starting anything.
#include <string>

namespace kbase {

class KInstallConfigMgr;

// UTF-8 text: every condition item with its leaves' answers and its translated
// expression, every channel (tryno) with its condition's translation, the uninstall
// interval and the resulting environment-check code, every download entry with its
// expanded path and condition, and the run list.
std::string ExplainConfiguration(const KInstallConfigMgr& config);

}  // namespace kbase

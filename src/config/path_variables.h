#pragma once
// Path variables of this machine: the built-in tokens and configuration variables.
#include <string>

namespace kbase {

class KInstallConfigMgr;

// Resolves the first built-in token kind that occurs in the text (see ExpandPathTokens).
// True when one was found and resolved; otherwise false and the text is unchanged.
bool ExpandPathVariables(std::wstring* text);

// Configuration variables of the loaded configuration, then ExpandPathVariables (whose
// result is not needed: a text without tokens is fine here).
void ExpandConfigVariables(const KInstallConfigMgr& config, std::wstring* text);

}  // namespace kbase

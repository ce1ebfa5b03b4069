#pragma once
// The installer's command line: options introduced by "-", "--" or "/", with values
// after ':' or '=', e.g.  -cid=186 /tid:336 --silent -scene "C:\x y\setup.exe"
#include <cstdint>
#include <map>
#include <string>

namespace kbase {

// Keys compare without regard to (ASCII) case.
struct CaseInsensitiveLess {
  bool operator()(const std::wstring& a, const std::wstring& b) const;
};
using CommandLineMap = std::map<std::wstring, std::wstring, CaseInsensitiveLess>;

// A later occurrence of a key replaces an earlier one; a key without value gets "1".
CommandLineMap ParseCommandLine(const std::wstring& command_line);

// The shell's integer reading: an optional '-', then leading decimal digits (32-bit,
// wrapping); anything else gives 0.
int32_t ShellStringToInt(const std::wstring& text);

}  // namespace kbase

#pragma once
// Which distribution channel this copy belongs to: from the command line, else from the
// program's file name (e.g. "setup_186_f336_k0001_ch1.exe"), else from installconfig.ini.
#include <cstdint>
#include <string>

namespace kbase {

struct ChannelIdentity {
  int32_t cid = 0;
  int32_t tid = 0;
  int32_t kid = 0;
  int32_t scene = 0;
  bool silent = false;
  bool complete = false;  // cid, tid and kid came from one source
};

// The ID string "_<cid>_f<tid>_k<kid>_ch<scene>": each tag's first occurrence is followed
// by a number read as the C library reads one (white space, sign, digits; 0 when none).
// False, and nothing written, when "_", "_f" or "_k" is missing; no "_ch" gives scene 0.
bool ParseIdString(const std::wstring& text, ChannelIdentity* identity);

// Steps that need no files: the command line, then the file name of `program_path`.
ChannelIdentity ReadChannelIdentity(const std::wstring& command_line,
                                    const std::wstring& program_path);

}  // namespace kbase

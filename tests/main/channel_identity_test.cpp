// The command line parser, the ID string and the channel identity from command line and
// file name.
#include <gtest/gtest.h>

#include <string>

#include "main/channel_identity.h"
#include "main/command_line.h"

namespace kbase {
namespace {

TEST(CommandLine, ParsesOptionsAsTheStateMachineSays) {
  const struct {
    const wchar_t* line;
    CommandLineMap expected;
  } kCases[] = {
      {L"-cid=186 /tid:336 --silent -scene \"x\"",
       {{L"cid", L"186"}, {L"tid", L"336"}, {L"silent", L"1"}, {L"scene", L"1"}}},
      {L"\"C:\\Program Files\\setup.exe\" -cid=5", {{L"cid", L"5"}}},
      {L"\"C:\\a -b\\setup.exe\" /x", {{L"x", L"1"}}},  // a dash inside quotes is no option
      {L"/silent", {{L"silent", L"1"}}},
      {L"-scene=", {{L"scene", L""}}},
      {L"-scene= -cid=3", {{L"scene", L""}, {L"cid", L"3"}}},
      {L"-x=\"a b\" -y=2", {{L"x", L"a b"}, {L"y", L"2"}}},
      {L"-x=\"a b", {{L"x", L"a b"}}},  // unterminated quotes end at the NUL
      {L"-CID=1 -cid=2", {{L"cid", L"2"}}},
      {L"--update", {{L"update", L"1"}}},
      {L"-a:b:c", {{L"a", L"b:c"}}},
      {L"plain words only", {}},
      {L"", {}},
      {L"-", {}},
      {L"--", {}},
      {L"- x", {{L" x", L"1"}}},  // the key begins at whatever follows the dash
  };
  for (const auto& c : kCases) {
    const CommandLineMap parsed = ParseCommandLine(c.line);
    EXPECT_EQ(parsed.size(), c.expected.size()) << c.line;
    for (const auto& option : c.expected) {
      const auto found = parsed.find(option.first);
      ASSERT_NE(found, parsed.end()) << c.line << " lacks " << option.first.c_str();
      EXPECT_EQ(found->second, option.second) << c.line;
    }
  }
  // The later key keeps its own spelling.
  EXPECT_EQ(ParseCommandLine(L"-CID=1 -Cid=2").begin()->first, L"Cid");
}

TEST(CommandLine, ShellIntegers) {
  const struct {
    const wchar_t* text;
    int32_t value;
  } kCases[] = {{L"186", 186},   {L"-7", -7},  {L"12abc", 12}, {L"abc", 0}, {L"", 0},
                {L" 5", 0},      {L"+5", 0},   {L"-", 0},      {L"0001", 1},
                {L"4294967297", 1}};  // wraps like 32-bit arithmetic
  for (const auto& c : kCases) EXPECT_EQ(ShellStringToInt(c.text), c.value) << c.text;
}

TEST(ChannelIdentity, IdStrings) {
  const struct {
    const wchar_t* text;
    bool ok;
    int32_t cid, tid, kid, scene;
  } kCases[] = {
      {L"_186_f336_k0001_ch1", true, 186, 336, 1, 1},
      {L"_186_f336_k0001", true, 186, 336, 1, 0},
      {L"my_setup_186_f336_k0001", true, 0, 336, 1, 0},
      {L"_ 5_f-2_k+3_ch 4", true, 5, -2, 3, 4},
      {L"_99999999999_f1_k1", true, 2147483647, 1, 1, 0},
      {L"_186_f336", false, 0, 0, 0, 0},
      {L"186f336k1", false, 0, 0, 0, 0},
      {L"", false, 0, 0, 0, 0},
  };
  for (const auto& c : kCases) {
    ChannelIdentity identity;
    EXPECT_EQ(ParseIdString(c.text, &identity), c.ok) << c.text;
    EXPECT_EQ(identity.cid, c.cid) << c.text;
    EXPECT_EQ(identity.tid, c.tid) << c.text;
    EXPECT_EQ(identity.kid, c.kid) << c.text;
    EXPECT_EQ(identity.scene, c.scene) << c.text;
  }
}

TEST(ChannelIdentity, CommandLineThenFileName) {
  const struct {
    const wchar_t* line;
    const wchar_t* program;
    int32_t cid, tid, kid, scene;
    bool silent, complete;
  } kCases[] = {
      {L"--cid=5 --tid=7 --kid=1", L"C:\\d\\setup_186_f336_k0001_ch1.exe", 5, 7, 1, 0, false, true},
      {L"-cid=5", L"C:\\d\\setup_186_f336_k0001_ch1.exe", 186, 336, 1, 1, false, true},
      {L"", L"C:\\d\\my_setup_186_f336_k0001.exe", 0, 336, 1, 0, false, true},
      {L"-scene=3", L"C:\\d\\setup.exe", 0, 0, 0, 3, false, false},
      {L"", L"C:\\d\\setup_186_f336_k0001_ch1.EXE", 0, 0, 0, 0, false, false},  // ".exe" is case-sensitive
      {L"", L"C:\\d\\x_1_f2_k3_silent.exe", 1, 2, 3, 0, true, true},
      {L"", L"C:\\d\\silent_x.exe", 0, 0, 0, 0, false, false},
      {L"", L"C:\\d\\x_SILENT.exe", 0, 0, 0, 0, true, false},
      {L"/silent=0", L"C:\\d\\setup.exe", 0, 0, 0, 0, true, false},  // presence counts
      {L"", L"", 0, 0, 0, 0, false, false},
  };
  for (const auto& c : kCases) {
    const ChannelIdentity identity = ReadChannelIdentity(c.line, c.program);
    const std::wstring where = std::wstring(c.line) + L" | " + c.program;
    EXPECT_EQ(identity.cid, c.cid) << where.c_str();
    EXPECT_EQ(identity.tid, c.tid) << where.c_str();
    EXPECT_EQ(identity.kid, c.kid) << where.c_str();
    EXPECT_EQ(identity.scene, c.scene) << where.c_str();
    EXPECT_EQ(identity.silent, c.silent) << where.c_str();
    EXPECT_EQ(identity.complete, c.complete) << where.c_str();
  }
}

}  // namespace
}  // namespace kbase

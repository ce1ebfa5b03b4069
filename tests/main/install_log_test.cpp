// The install log under Wine: line format, rotation, the gate event seen from another
// process, the formatting limit and batches from several threads.
#include <gtest/gtest.h>
#include <windows.h>

#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "main/install_log.h"
#include "support/win_test_util.h"

namespace kbase {
namespace {

using test::ReadWholeFile;
using test::TempFolder;

std::vector<std::string> Lines(const std::wstring& path) {
  std::string text;
  std::vector<std::string> lines;
  if (!ReadWholeFile(path, &text)) return lines;
  size_t start = 0, end;
  while ((end = text.find("\r\n", start)) != std::string::npos) {
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  EXPECT_EQ(start, text.size()) << "text after the last CR LF";
  return lines;
}

// The message part of a line: after the time prefix and its two spaces.
std::string Message(const std::string& line) {
  static const std::regex kPrefix(R"(^\d{4}-\d{1,2}-\d{1,2} \d\d:\d\d:\d\d \d{3}  )");
  std::smatch match;
  if (!std::regex_search(line, match, kPrefix)) return "<no time prefix: " + line + ">";
  return match.suffix();
}

std::vector<std::string> Messages(const std::wstring& path) {
  std::vector<std::string> messages;
  for (const std::string& line : Lines(path)) messages.push_back(Message(line));
  return messages;
}

TEST(InstallLog, WritesTimestampedLinesAndNothingOutsideOpenAndClose) {
  TempFolder folder;
  const std::wstring path = folder.File(L"kinst.log");
  KInstallLog log;
  EXPECT_EQ(log.Write("before open"), 0);
  ASSERT_EQ(log.Open(path), 1);
  EXPECT_EQ(log.Open(path), 1);  // already open
  const std::string first = "DownloadControl -- End HRESULT = 28, Count = 3";
  EXPECT_EQ(log.Write("DownloadControl -- End HRESULT = %d, Count = %d", 28, 3),
            static_cast<int>(first.size()));
  EXPECT_EQ(log.Write("wide %ws and %s", L"text", "narrow"), 20);
  log.Close();
  EXPECT_EQ(log.Write("after close"), 0);
  log.Close();  // a second close is harmless

  const std::vector<std::string> lines = Lines(path);
  ASSERT_EQ(lines.size(), 2u);
  SYSTEMTIME now;
  GetLocalTime(&now);
  char year[8];
  snprintf(year, sizeof year, "%d-", now.wYear);
  EXPECT_EQ(lines[0].rfind(year, 0), 0u) << lines[0];
  EXPECT_EQ(Message(lines[0]), first);
  EXPECT_EQ(Message(lines[1]), "wide text and narrow");
}

TEST(InstallLog, ReopensAndAppends) {
  TempFolder folder;
  const std::wstring path = folder.File(L"kinst.log");
  KInstallLog log;
  ASSERT_EQ(log.Open(path), 1);
  log.Write("one");
  log.Close();
  ASSERT_EQ(log.Open(path), 1);
  log.Write("two");
  log.Close();
  EXPECT_EQ(Messages(path), (std::vector<std::string>{"one", "two"}));
}

TEST(InstallLog, RotatesOnlyAbove524287Bytes) {
  const struct {
    size_t size;
    bool rotates;
  } kCases[] = {{524287, false}, {524288, true}, {0, false}};
  for (const auto& c : kCases) {
    TempFolder folder;
    const std::wstring path = folder.File(L"kinst.log");
    const std::wstring backup = folder.File(L"kinst.log0");
    ASSERT_TRUE(test::WriteWholeFile(path, std::string(c.size, 'x')));
    ASSERT_TRUE(test::WriteWholeFile(backup, "older backup"));
    // Read-only files must not stop the rotation.
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesW(backup.c_str(), FILE_ATTRIBUTE_READONLY);
    if (!c.rotates) SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);

    KInstallLog log;
    ASSERT_EQ(log.Open(path), 1);
    log.Write("fresh");
    log.Close();

    std::string log_text, backup_text;
    ASSERT_TRUE(ReadWholeFile(path, &log_text));
    ASSERT_TRUE(ReadWholeFile(backup, &backup_text));
    if (c.rotates) {
      EXPECT_EQ(backup_text, std::string(c.size, 'x')) << c.size;
      EXPECT_EQ(Messages(path), std::vector<std::string>{"fresh"}) << c.size;
    } else {
      EXPECT_EQ(backup_text, "older backup") << c.size;
      EXPECT_EQ(log_text.substr(0, c.size), std::string(c.size, 'x')) << c.size;
      EXPECT_EQ(Message(log_text.substr(c.size, log_text.size() - c.size - 2)), "fresh");
    }
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    SetFileAttributesW(backup.c_str(), FILE_ATTRIBUTE_NORMAL);
  }
}

TEST(InstallLog, AnotherProcessPausesTheLogThroughTheGate) {
  TempFolder folder;
  const std::wstring path = folder.File(L"kinst.log");
  const std::wstring holder = test::BesideThisProgram(L"log_gate_holder.exe");
  const std::wstring pid = std::to_wstring(GetCurrentProcessId());
  KInstallLog log;
  ASSERT_EQ(log.Open(path), 1);
  log.Write("before pause");
  ASSERT_EQ(test::RunProgram(holder, pid + L" reset"), 0);
  EXPECT_EQ(log.Write("while paused"), 0);
  ASSERT_EQ(test::RunProgram(holder, pid + L" set"), 0);
  log.Write("after pause");
  log.Close();
  // Paused lines are dropped, not delivered later.
  EXPECT_EQ(Messages(path), (std::vector<std::string>{"before pause", "after pause"}));
}

TEST(InstallLog, CutsMessagesTo499Characters) {
  TempFolder folder;
  const std::wstring path = folder.File(L"kinst.log");
  KInstallLog log;
  ASSERT_EQ(log.Open(path), 1);
  const std::string long_text(600, 'm');
  EXPECT_EQ(log.Write("%s", long_text.c_str()), 499);
  EXPECT_EQ(log.Write("%s", std::string(499, 'e').c_str()), 499);
  EXPECT_EQ(log.Write("%s", std::string(498, 'f').c_str()), 498);
  log.Close();
  EXPECT_EQ(Messages(path), (std::vector<std::string>{std::string(499, 'm'),
                                                      std::string(499, 'e'),
                                                      std::string(498, 'f')}));
}

TEST(InstallLog, KeepsEveryLineAndEachThreadsOrder) {
  TempFolder folder;
  const std::wstring path = folder.File(L"kinst.log");
  KInstallLog log;
  ASSERT_EQ(log.Open(path), 1);
  constexpr int kThreads = 4, kLinesEach = 2000;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&log, t] {
      for (int n = 0; n < kLinesEach; ++n) log.Write("thread %d line %d", t, n);
    });
  }
  for (std::thread& thread : threads) thread.join();
  log.Close();

  std::vector<int> next(kThreads, 0);
  const std::vector<std::string> messages = Messages(path);
  ASSERT_EQ(messages.size(), size_t{kThreads * kLinesEach});
  for (const std::string& message : messages) {
    int t = -1, n = -1;
    ASSERT_EQ(sscanf(message.c_str(), "thread %d line %d", &t, &n), 2) << message;
    ASSERT_TRUE(t >= 0 && t < kThreads) << message;
    EXPECT_EQ(n, next[t]) << "thread " << t << " out of order";
    next[t] = n + 1;
  }
}

TEST(InstallLog, FailsNothingWhenTheFolderIsMissing) {
  TempFolder folder;
  // The writer cannot open the file; close must still return promptly.
  const std::wstring path = folder.File(L"missing\\kinst.log");
  KInstallLog log;
  ASSERT_EQ(log.Open(path), 1);
  EXPECT_GT(log.Write("lost"), 0);
  const DWORD start = GetTickCount();
  log.Close();
  EXPECT_LT(GetTickCount() - start, 5000u);
  EXPECT_FALSE(test::FileExists(path));
}

}  // namespace
}  // namespace kbase

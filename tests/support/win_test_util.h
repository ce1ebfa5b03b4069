#pragma once
// Small helpers for tests of the Windows build.
#include <windows.h>

#include <string>

namespace kbase::test {

// A fresh, empty folder under the temporary folder, with a trailing backslash; removed
// with its files by the destructor.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::wstring& path() const { return path_; }
  std::wstring File(const wchar_t* name) const { return path_ + name; }

 private:
  std::wstring path_;
};

// Sets an environment variable for the life of the object, then restores it.
class EnvironmentValue {
 public:
  EnvironmentValue(const wchar_t* name, const wchar_t* value);
  ~EnvironmentValue();
  EnvironmentValue(const EnvironmentValue&) = delete;
  EnvironmentValue& operator=(const EnvironmentValue&) = delete;

 private:
  const wchar_t* name_;
  bool had_ = false;
  std::wstring old_;
};

bool ReadWholeFile(const std::wstring& path, std::string* bytes);
bool WriteWholeFile(const std::wstring& path, const std::string& bytes);
bool FileExists(const std::wstring& path);
// Full path of a file beside the running test program.
std::wstring BesideThisProgram(const wchar_t* name);
// Runs a program to its end; its exit code, or -1 when it cannot start.
int RunProgram(const std::wstring& program, const std::wstring& arguments);

}  // namespace kbase::test

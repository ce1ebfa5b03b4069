// After the restriction, a library loaded by bare name comes from the system folder only:
// a copy planted beside the program is no longer found. The restriction is process-wide
// and cannot be undone, so the before and after states are one test.
#include <gtest/gtest.h>

#include <windows.h>

#include "common/win/dll_search.h"
#include "common/win/scoped_module.h"
#include "support/win_test_util.h"

namespace kbase {
namespace {

// A copy of the planted library under a name no system library has; removed afterwards.
class PlantedCopy {
 public:
  explicit PlantedCopy(const wchar_t* name) : path_(test::BesideThisProgram(name)) {
    copied_ = ::CopyFileW(test::BesideThisProgram(L"probe_planted.dll").c_str(), path_.c_str(),
                          FALSE) != FALSE;
  }
  ~PlantedCopy() { ::DeleteFileW(path_.c_str()); }
  bool copied() const { return copied_; }

 private:
  std::wstring path_;
  bool copied_ = false;
};

TEST(DllSearch, PlantedLibraryBesideTheProgramIsNotLoadedByNameAfterRestriction) {
  PlantedCopy planted(L"kinst_planted_probe.dll");
  ASSERT_TRUE(planted.copied());
  {
    // The fixture works: without the restriction the program's folder is searched.
    ScopedModule before(::LoadLibraryW(L"kinst_planted_probe.dll"));
    ASSERT_TRUE(before.valid());
    EXPECT_NE(before.Function<int (*)()>("PlantedLibraryMarker"), nullptr);
  }

  EXPECT_TRUE(RestrictDllSearchToSystemFolder());

  ScopedModule after(::LoadLibraryW(L"kinst_planted_probe.dll"));
  EXPECT_FALSE(after.valid());
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
  ScopedModule after_ansi(::LoadLibraryA("kinst_planted_probe.dll"));
  EXPECT_FALSE(after_ansi.valid());

  // System libraries still load by name, and a full path still loads the file it names.
  ScopedModule system(::LoadLibraryW(L"version.dll"));
  EXPECT_TRUE(system.valid());
  ScopedModule by_path(
      ::LoadLibraryW(test::BesideThisProgram(L"kinst_planted_probe.dll").c_str()));
  EXPECT_TRUE(by_path.valid());
}

}  // namespace
}  // namespace kbase

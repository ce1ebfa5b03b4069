// The in-memory 7z extractor under Wine, on archives the build makes with 7zz
// (seven_zip/make_archives.sh): both modes, damaged archives, driver items, files in
// use, item paths that try to leave the target folder, and the in-stream's rules.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "download/seven_zip_extract.h"
#include "support/log_capture.h"
#include "support/win_test_util.h"

namespace kbase {
namespace {

using test::BesideThisProgram;
using test::ReadWholeFile;
using test::TempFolder;
using test::WriteWholeFile;
using Files = std::map<std::wstring, std::string>;

enum class Mode { kFolder, kMemory };
constexpr Mode kModes[] = {Mode::kFolder, Mode::kMemory};
const char* Name(Mode mode) { return mode == Mode::kFolder ? "to folder" : "via memory"; }

std::string Archive(const wchar_t* name) {
  std::string bytes;
  EXPECT_TRUE(ReadWholeFile(BesideThisProgram(name), &bytes)) << "missing fixture";
  return bytes;
}

HRESULT Extract(Mode mode, const std::string& archive, const std::wstring& folder) {
  Scoped7zExtract extract = C7zExtractImpl::Create();
  const auto size = static_cast<UInt32>(archive.size());
  if (mode == Mode::kFolder) return extract->ExtractToFolder(archive.data(), size, folder.c_str());
  const HRESULT result = extract->ExtractToMemory(archive.data(), size);
  EXPECT_EQ(extract->ExtractMemoryFiles(folder.c_str()), S_OK);
  return result;
}

// Every file below `folder` by its relative path; folders get an entry with "<dir>".
void Collect(const std::wstring& folder, const std::wstring& prefix, Files* files) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((folder + L"*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      (*files)[prefix + name] = "<dir>";
      Collect(folder + name + L"\\", prefix + name + L"\\", files);
    } else {
      ReadWholeFile(folder + name, &(*files)[prefix + name]);
    }
  } while (FindNextFileW(find, &data));
  FindClose(find);
}

Files FilesBelow(const std::wstring& folder) {
  Files files;
  Collect(folder, L"", &files);
  return files;
}

std::string Numbers() {
  std::string text;
  for (int i = 1; i <= 400000; ++i) text += std::to_string(i) + "\n";
  return text;
}

const Files& ItemsArchiveContent() {
  static const Files files = {
      {L"install_res", "<dir>"},
      {L"install_res\\6000.xml",
       "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<strings>\n"
       "  <string id=\"title\">unpacked from memory</string>\n</strings>\n"},
      {L"top.txt", "top of the archive\n"},
      {L"sub", "<dir>"},
      {L"sub\\deeper", "<dir>"},
      {L"sub\\deeper\\note.txt", "two folders down\n"},
      {L"empty.txt", ""},
      {L"big.txt", Numbers()},
  };
  return files;
}

TEST(SevenZipExtract, WritesEveryItemBelowTheTarget) {
  const std::string archive = Archive(L"items.7z");
  const struct {
    const char* name;
    size_t junk;  // bytes before the archive
    bool trailing_separator;
  } kCases[] = {
      {"archive at offset 0", 0, true},
      {"target without a trailing backslash", 0, false},
      {"1 MiB before the archive", 1 << 20, true},
      {"just under 4 MiB before the archive", 0x400000 - 64, true},
  };
  for (const Mode mode : kModes) {
    for (const auto& c : kCases) {
      SCOPED_TRACE(std::string(Name(mode)) + ": " + c.name);
      TempFolder folder;
      std::wstring target = folder.path();
      if (!c.trailing_separator) target.pop_back();
      EXPECT_EQ(Extract(mode, std::string(c.junk, 'J') + archive, target), S_OK);
      EXPECT_EQ(FilesBelow(folder.path()), ItemsArchiveContent());
    }
  }
}

TEST(SevenZipExtract, DamagedArchivesFailToOpenAndWriteNothing) {
  const std::string archive = Archive(L"items.7z");
  std::string bad_start_header = archive;
  bad_start_header[20] ^= 0x40;  // inside the next-header offset, covered by the start CRC
  const struct {
    const char* name;
    std::string bytes;
  } kCases[] = {
      {"empty buffer", ""},
      {"not an archive", std::string(5000, 'x')},
      {"cut before its end", archive.substr(0, archive.size() - 40)},
      {"start header damaged", bad_start_header},
      {"more than 4 MiB before the archive", std::string(0x400000 + 4096, 'J') + archive},
  };
  for (const Mode mode : kModes) {
    for (const auto& c : kCases) {
      TempFolder folder;
      const HRESULT result = Extract(mode, c.bytes, folder.path());
      EXPECT_NE(result, S_OK) << Name(mode) << ": " << c.name;
      EXPECT_TRUE(FilesBelow(folder.path()).empty()) << Name(mode) << ": " << c.name;
      printf("%s, %s: 0x%08lX\n", Name(mode), c.name, static_cast<unsigned long>(result));
    }
  }
}

TEST(SevenZipExtract, SysItemsAlsoGoToTheDriversFolder) {
  wchar_t system[MAX_PATH];
  GetSystemDirectoryW(system, MAX_PATH);
  const std::wstring drivers = std::wstring(system) + L"\\drivers\\";
  const wchar_t* kNames[] = {L"DRIVER.SYS", L"a.b.sys", L"sys.txt"};
  const std::string archive = Archive(L"drivers.7z");
  for (const Mode mode : kModes) {
    SCOPED_TRACE(Name(mode));
    for (const wchar_t* name : kNames) DeleteFileW((drivers + name).c_str());
    TempFolder folder;
    ASSERT_EQ(Extract(mode, archive, folder.path()), S_OK);
    EXPECT_EQ(FilesBelow(folder.path()),
              (Files{{L"DRIVER.SYS", "driver one\n"},
                     {L"a.b.sys", "driver two\n"},
                     {L"sys.txt", "not a driver\n"}}));
    std::string text;
    EXPECT_TRUE(ReadWholeFile(drivers + L"DRIVER.SYS", &text));
    EXPECT_EQ(text, "driver one\n");
    EXPECT_TRUE(ReadWholeFile(drivers + L"a.b.sys", &text));
    EXPECT_EQ(text, "driver two\n");
    EXPECT_FALSE(test::FileExists(drivers + L"sys.txt"));
    for (const wchar_t* name : kNames) DeleteFileW((drivers + name).c_str());
  }
}

// PendingFileRenameOperations as (source, target) pairs, "\??\" and "!" taken off.
std::vector<std::pair<std::wstring, std::wstring>> PendingRenames() {
  std::vector<std::pair<std::wstring, std::wstring>> pairs;
  DWORD bytes = 0;
  const wchar_t* kKey = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager";
  const wchar_t* kValue = L"PendingFileRenameOperations";
  if (RegGetValueW(HKEY_LOCAL_MACHINE, kKey, kValue, RRF_RT_REG_MULTI_SZ, nullptr, nullptr,
                   &bytes) != ERROR_SUCCESS) {
    return pairs;
  }
  std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
  if (RegGetValueW(HKEY_LOCAL_MACHINE, kKey, kValue, RRF_RT_REG_MULTI_SZ, nullptr, &text[0],
                   &bytes) != ERROR_SUCCESS) {
    return pairs;
  }
  std::vector<std::wstring> strings;
  for (size_t at = 0; at < text.size();) {
    const size_t end = text.find(L'\0', at);
    strings.push_back(text.substr(at, end - at));
    at = end + 1;
  }
  auto plain = [](std::wstring s) {
    if (!s.empty() && s[0] == L'!') s.erase(0, 1);
    if (s.rfind(L"\\??\\", 0) == 0) s.erase(0, 4);
    return s;
  };
  for (size_t i = 0; i + 1 < strings.size(); i += 2) {
    if (strings[i].empty()) break;
    pairs.emplace_back(plain(strings[i]), plain(strings[i + 1]));
  }
  return pairs;
}

bool Pending(const std::wstring& source, const std::wstring& target) {
  for (const auto& [from, to] : PendingRenames()) {
    if (_wcsicmp(from.c_str(), source.c_str()) == 0 && _wcsicmp(to.c_str(), target.c_str()) == 0) {
      return true;
    }
  }
  return false;
}

// The one file in `folder` whose name starts with `prefix`.
std::wstring OnlyFileStartingWith(const std::wstring& folder, const std::wstring& prefix) {
  std::wstring found;
  for (const auto& [name, content] : FilesBelow(folder)) {
    if (name.rfind(prefix, 0) == 0) {
      EXPECT_TRUE(found.empty()) << "more than one";
      found = name;
    }
  }
  return found;
}

bool Contains(const std::vector<std::string>& lines, const std::string& wanted) {
  for (const std::string& line : lines) {
    if (line == wanted) return true;
  }
  return false;
}

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

TEST(SevenZipExtract, FileInUseIsReplacedAtReboot) {
  const std::string archive = Archive(L"items.7z");
  const std::string fresh = "top of the archive\n";
  const std::string old = "the file in use";
  for (const Mode mode : kModes) {
    // Held open with delete sharing: it cannot be replaced but can be moved aside.
    {
      SCOPED_TRACE(std::string(Name(mode)) + ": movable");
      TempFolder folder;
      const std::wstring path = folder.File(L"top.txt");
      ASSERT_TRUE(WriteWholeFile(path, old));
      ScopedHandle in_use(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
      ASSERT_TRUE(in_use.valid());
      test::LogCapture log;
      ASSERT_EQ(Extract(mode, archive, folder.path()), S_OK);

      std::string text;
      EXPECT_TRUE(ReadWholeFile(path, &text));
      EXPECT_EQ(text, fresh);
      const std::wstring aside = OnlyFileStartingWith(folder.path(), L"top.txt_d_");
      ASSERT_FALSE(aside.empty());
      EXPECT_GT(aside.size(), 10u);
      EXPECT_EQ(aside.find_first_not_of(L"0123456789abcdef", 10), std::wstring::npos) << aside;
      in_use.Reset();  // the moved file is still the one held open
      EXPECT_TRUE(ReadWholeFile(folder.File(aside.c_str()), &text));
      EXPECT_EQ(text, old);
      EXPECT_TRUE(Pending(folder.File(aside.c_str()), L"")) << "deletion at reboot";
      if (mode == Mode::kMemory) {
        EXPECT_TRUE(Contains(log.Messages(), "MoveFileEx Rename file succeed, path:" +
                                                 Narrow(folder.File(aside.c_str()))));
      }
    }
    // Held open without any sharing: it can neither be replaced nor moved.
    {
      SCOPED_TRACE(std::string(Name(mode)) + ": locked");
      TempFolder folder;
      const std::wstring path = folder.File(L"top.txt");
      ASSERT_TRUE(WriteWholeFile(path, old));
      ScopedHandle in_use(
          CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
      ASSERT_TRUE(in_use.valid());
      test::LogCapture log;
      ASSERT_EQ(Extract(mode, archive, folder.path()), S_OK);

      std::string text;
      EXPECT_TRUE(OnlyFileStartingWith(folder.path(), L"top.txt_d_").empty());
      EXPECT_TRUE(ReadWholeFile(path + L"0", &text));
      EXPECT_EQ(text, fresh);
      EXPECT_TRUE(Pending(path + L"0", path)) << "replacement at reboot";
      EXPECT_TRUE(Contains(log.Messages(), "MoveFileEx Rename file fail, error:32"));
      in_use.Reset();
      EXPECT_TRUE(ReadWholeFile(path, &text));
      EXPECT_EQ(text, old);
    }
  }
}

TEST(SevenZipExtract, ItemsLeavingTheTargetAreRefused) {
  const std::string archive = Archive(L"hostile.7z");
  for (const Mode mode : kModes) {
    SCOPED_TRACE(Name(mode));
    TempFolder outer;
    const std::wstring target = outer.File(L"target\\");
    ASSERT_TRUE(CreateDirectoryW(target.c_str(), nullptr));
    test::LogCapture log;
    EXPECT_EQ(Extract(mode, archive, target), S_OK);
    // Only the harmless item, written after the refused ones of the same solid block.
    EXPECT_EQ(FilesBelow(outer.path()),
              (Files{{L"target", "<dir>"}, {L"target\\z_kept.txt", "kept\n"}}));
    int refused = 0;
    for (const std::string& line : log.Messages()) {
      if (line.rfind("Extract refused item outside the target folder, path:", 0) == 0) ++refused;
    }
    EXPECT_EQ(refused, 4);
  }
}

TEST(SevenZipExtract, ItemPathRules) {
  const struct {
    const wchar_t* path;
    bool safe;
  } kCases[] = {
      {L"top.txt", true},
      {L"install_res\\6000.xml", true},
      {L"sub/deeper/note.txt", true},
      {L".hidden", true},
      {L"a..b", true},
      {L"", false},
      {L"..", false},
      {L"..\\x", false},
      {L"../x", false},
      {L"a\\..\\..\\x", false},
      {L"a\\..", false},
      {L".\\x", false},
      {L"...\\x", false},
      {L". .\\x", false},
      {L"a\\.. \\x", false},
      {L"\\x", false},
      {L"/x", false},
      {L"\\\\server\\share\\x", false},
      {L"C:x", false},
      {L"C:\\x", false},
      {L"x:stream", false},
      {L"a\\\\b", false},
      {L"a\\", false},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(C7zExtractImpl::IsSafeItemPath(c.path), c.safe) << Narrow(c.path);
  }
}

TEST(SevenZipExtract, CallbackRefusesHostileItemsAndOversizedMemoryItems) {
  Scoped7zExtract extract = C7zExtractImpl::Create();
  auto* impl = static_cast<C7zExtractImpl*>(extract.get());
  const std::string archive = Archive(L"items.7z");
  ASSERT_EQ(extract->ExtractToMemory(archive.data(), static_cast<UInt32>(archive.size())), S_OK);

  const char data[16] = "0123456789abcde";
  UInt32 processed = 99;
  EXPECT_EQ(impl->OnNewItem(L"..\\escape.txt"), E_ACCESSDENIED);
  EXPECT_EQ(impl->OnWrite(data, 16, &processed), E_FAIL);
  EXPECT_EQ(processed, 0u);

  EXPECT_EQ(impl->OnNewItem(L"extra\\kept.bin"), S_OK);
  EXPECT_EQ(impl->OnWrite(data, 16, &processed), S_OK);
  EXPECT_EQ(processed, 16u);
  // Refused before a byte is read: 16 bytes are in, so one byte more than this is over.
  EXPECT_EQ(impl->OnWrite(data, C7zExtractImpl::kMaxMemoryItem - 15, &processed), E_FAIL);
  EXPECT_EQ(impl->OnWrite(data, 0xFFFFFFFFu, nullptr), E_FAIL);
  EXPECT_EQ(impl->OnNewItem(L"extra\\"), S_OK);  // files the item before

  TempFolder folder;
  EXPECT_EQ(extract->ExtractMemoryFiles(folder.path().c_str()), S_OK);
  const Files files = FilesBelow(folder.path());
  ASSERT_EQ(files.count(L"extra\\kept.bin"), 1u);
  EXPECT_EQ(files.at(L"extra\\kept.bin"), std::string(data, 16));
  EXPECT_EQ(files.count(L"top.txt"), 1u);
}

TEST(CLmInStream, ReadsUntilTheEndAndSeeksFromThreeOrigins) {
  const char buffer[] = "0123456789";
  CMyComPtr<IInStream> stream = new CLmInStream(buffer, 10);
  char out[32] = {};
  UInt32 processed = 0;
  EXPECT_EQ(stream->Read(out, 4, &processed), S_OK);
  EXPECT_EQ(std::string(out, processed), "0123");
  EXPECT_EQ(stream->Read(out, 100, &processed), S_OK);
  EXPECT_EQ(std::string(out, processed), "456789");
  // At the end a read is an error, not a zero-byte success.
  EXPECT_EQ(stream->Read(out, 1, &processed), E_FAIL);
  EXPECT_EQ(processed, 0u);
  EXPECT_EQ(stream->Read(out, 0, &processed), E_FAIL);

  const struct {
    Int64 offset;
    UInt32 origin;
    HRESULT result;
    UInt64 position;
    const char* next;  // what a 2-byte read then gives; nullptr: E_FAIL
  } kSeeks[] = {
      {2, 0, S_OK, 2, "23"},
      {3, 1, S_OK, 7, "78"},    // from 4, after the read above
      {-3, 2, S_OK, 7, "78"},
      {0, 2, S_OK, 10, nullptr},
      {5, 2, S_OK, 15, nullptr},  // past the end is allowed
      {-1, 0, S_OK, 0xFFFFFFFFu, nullptr},  // kept as its low 32 bits
      {1, 3, STG_E_INVALIDFUNCTION, 0, nullptr},
  };
  stream->Seek(2, 0, nullptr);
  stream->Read(out, 2, &processed);  // position 4
  for (const auto& s : kSeeks) {
    SCOPED_TRACE(testing::Message() << s.offset << " from " << s.origin);
    UInt64 position = 12345;
    ASSERT_EQ(stream->Seek(s.offset, s.origin, &position), s.result);
    if (s.result != S_OK) continue;
    EXPECT_EQ(position, s.position);
    const HRESULT read = stream->Read(out, 2, &processed);
    if (s.next == nullptr) {
      EXPECT_EQ(read, E_FAIL);
    } else {
      EXPECT_EQ(read, S_OK);
      EXPECT_EQ(std::string(out, processed), s.next);
    }
    stream->Seek(4, 0, nullptr);
  }

  void* object = nullptr;
  EXPECT_EQ(stream->QueryInterface(IID_IUnknown, &object), S_OK);
  EXPECT_EQ(object, static_cast<void*>(stream.Interface()));
  static_cast<IUnknown*>(object)->Release();
  CMyComPtr<IStreamGetSize> size_query;
  ASSERT_EQ(stream->QueryInterface(IID_IStreamGetSize, reinterpret_cast<void**>(&size_query)),
            S_OK);
  UInt64 size = 0;
  EXPECT_EQ(size_query->GetSize(&size), S_OK);
  EXPECT_EQ(size, 10u);
  object = &size;
  EXPECT_EQ(stream->QueryInterface(IID_IOutStream, &object), E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);
}

}  // namespace
}  // namespace kbase

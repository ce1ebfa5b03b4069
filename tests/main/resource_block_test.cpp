// The resource block reader under Wine. Program files are made here: a copy of this
// test program with a block around install_res.7z (made by the build with 7zz from
// fixtures/install_res) appended the way the block tool does it. Then installconfig.ini.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "main/install_config_ini.h"
#include "main/resource_block.h"
#include "main/resource_block_layout.h"
#include "support/log_capture.h"
#include "support/win_test_util.h"

namespace kbase {
namespace {

using test::BesideThisProgram;
using test::ReadWholeFile;
using test::TempFolder;
using test::WriteWholeFile;

std::wstring ThisProgram() {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return path;
}

std::string Bytes(const std::wstring& path) {
  std::string bytes;
  EXPECT_TRUE(ReadWholeFile(path, &bytes));
  return bytes;
}

// This program's file with `packets` appended as a block.
std::string ProgramWithBlock(const std::vector<std::string>& packets) {
  std::string image = Bytes(ThisProgram());
  std::string block;
  EXPECT_TRUE(MakeBlock(packets, &block));
  EXPECT_EQ(AttachBlock(block, &image), AttachResult::kOk);
  return image;
}

size_t TimeDateStampAt(const std::string& image) {
  uint32_t pe = 0;
  std::memcpy(&pe, &image[kPeHeaderOffsetField], 4);
  return pe + kPeTimeDateStampOffset;
}

std::vector<std::wstring> FileNames(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((folder + L"*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    if (wcscmp(data.cFileName, L".") != 0 && wcscmp(data.cFileName, L"..") != 0) {
      names.push_back(data.cFileName);
    }
  } while (FindNextFileW(find, &data));
  FindClose(find);
  std::sort(names.begin(), names.end());
  return names;
}

TEST(ResourceBlock, FindsChecksAndUnpacksPacket0) {
  const std::string archive = Bytes(BesideThisProgram(L"install_res.7z"));
  ASSERT_FALSE(archive.empty());
  const std::string with_block = ProgramWithBlock({archive});
  std::string marker_only = with_block;
  std::memset(&marker_only[TimeDateStampAt(marker_only)], 0, 4);
  std::string damaged = with_block;
  damaged[with_block.size() - 43 - archive.size() + 100] ^= 0x20;  // a byte of the archive

  const struct {
    const char* name;
    std::string image;
    int by_header, by_marker;
    bool packet, unpacked;
  } kCases[] = {
      {"header field", with_block, 1, 1, true, true},
      {"header field 0: marker", marker_only, 0, 1, true, true},
      {"one archive byte flipped", damaged, 1, 1, false, false},
      {"packet that is no 7z archive", ProgramWithBlock({"not an archive"}), 1, 1, true, false},
      {"no block", Bytes(ThisProgram()), 0, 0, false, false},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    const std::wstring program = folder.File(L"kinstaller_186_336.exe");
    const std::wstring target = folder.File(L"work\\");
    ASSERT_TRUE(WriteWholeFile(program, c.image));
    ASSERT_TRUE(CreateDirectoryW(target.c_str(), nullptr));

    test::LogCapture log;
    KResourceBlock block;
    ASSERT_EQ(block.LoadImageToMem(program), 1);
    EXPECT_EQ(block.LocateByHeader(), c.by_header);
    EXPECT_EQ(block.LocateByMarker(), c.by_marker);
    uint32_t length = 0;
    const uint8_t* data = block.GetPacketData(0, &length);
    EXPECT_EQ(data != nullptr, c.packet);
    if (c.packet && c.unpacked) {
      EXPECT_EQ(std::string(reinterpret_cast<const char*>(data), length), archive);
    }
    EXPECT_EQ(block.GetPacketData(1, &length), nullptr);
    EXPECT_EQ(block.Extract(target), c.unpacked ? 1 : 0);
    EXPECT_EQ(block.error(), !c.packet);
    block.Unmap();
    EXPECT_EQ(block.GetPacketData(0, &length), nullptr);

    std::vector<std::string> expected_log = {"GetPacketData 0"};
    if (c.packet) {
      expected_log.insert(expected_log.end(),
                          {"GetPacketData return:1", "Extract...",
                           c.unpacked ? "Extract return:1" : "Extract return:0"});
    } else {
      expected_log.push_back("GetPacketData return:0");
    }
    EXPECT_EQ(log.Messages(), expected_log);

    if (!c.unpacked) {
      EXPECT_TRUE(FileNames(target).empty());
      continue;
    }
    EXPECT_EQ(FileNames(target), std::vector<std::wstring>{L"install_res"});
    EXPECT_EQ(FileNames(target + L"install_res\\"),
              (std::vector<std::wstring>{L"6000.xml", L"6001.xml", L"installconfig.ini"}));
    const InstallConfigIni ini = ReadInstallConfigIni(target + L"install_res\\installconfig.ini");
    EXPECT_EQ(ini.id, L"_186_f336_k0001_ch1");
    EXPECT_EQ(ini.autoclose, 1);
  }
}

TEST(ResourceBlock, ProgramFileThatCannotBeMapped) {
  TempFolder folder;
  const std::wstring empty = folder.File(L"empty.exe");
  ASSERT_TRUE(WriteWholeFile(empty, ""));
  const std::wstring missing = folder.File(L"missing.exe");
  const struct {
    std::wstring path;
    std::string line;
  } kCases[] = {
      {missing, "LoadImageToMem CreateFile error:2, path:"},
      {empty, "CreateFileByMem CreateFileMapping error:"},
  };
  for (const auto& c : kCases) {
    test::LogCapture log;
    KResourceBlock block;
    EXPECT_EQ(block.LoadImageToMem(c.path), 0) << c.line;
    EXPECT_EQ(block.LocateByHeader(), 0);
    EXPECT_EQ(block.LocateByMarker(), 0);
    EXPECT_EQ(block.Extract(folder.path()), 0);
    const std::vector<std::string> lines = log.Messages();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0].rfind(c.line, 0), 0u) << lines[0];
    EXPECT_NE(lines[0].find(std::string(c.path.begin(), c.path.end())), std::string::npos)
        << lines[0];
  }
}

TEST(ResourceBlock, MapsTheRunningProgramByDefault) {
  KResourceBlock block;
  ASSERT_EQ(block.LoadImageToMem(), 1);
  EXPECT_EQ(block.LocateByHeader(), 0);  // a test program carries no block
}

TEST(InstallConfigIni, ReadsTheInstallSectionWithDefaults) {
  const std::string long_id(300, 'i');
  const struct {
    const char* name;
    const char* text;  // nullptr: no file
    InstallConfigIni expected;
  } kCases[] = {
      {"shipped file",
       "[install]\r\nautoclose=1\r\ndelaytime=2\r\nimagecounts=1\r\nID=_186_f336_k0001_ch1\r\n"
       "source=0\r\n",
       {L"_186_f336_k0001_ch1", 0, 1, 1, 2}},
      {"no file", nullptr, {L"", 0, 1, 0, 2}},
      {"other section", "[setup]\nID=x\nsource=2\n", {L"", 0, 1, 0, 2}},
      {"some keys", "[install]\nsource=2\nimagecounts=4\n", {L"", 2, 4, 0, 2}},
      {"every key changed",
       "[install]\nID=_7_f9_k1_ch2\nsource=1\nimagecounts=3\nautoclose=1\ndelaytime=5\n",
       {L"_7_f9_k1_ch2", 1, 3, 1, 5}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    const std::wstring path = folder.File(kInstallConfigIni);
    if (c.text != nullptr) {
      ASSERT_TRUE(WriteWholeFile(path, c.text));
    }
    const InstallConfigIni ini = ReadInstallConfigIni(path);
    EXPECT_EQ(ini.id, c.expected.id);
    EXPECT_EQ(ini.source, c.expected.source);
    EXPECT_EQ(ini.imagecounts, c.expected.imagecounts);
    EXPECT_EQ(ini.autoclose, c.expected.autoclose);
    EXPECT_EQ(ini.delaytime, c.expected.delaytime);
  }
  // ID keeps at most 255 characters.
  TempFolder folder;
  const std::wstring path = folder.File(kInstallConfigIni);
  ASSERT_TRUE(WriteWholeFile(path, "[install]\nID=" + long_id + "\n"));
  EXPECT_EQ(ReadInstallConfigIni(path).id, std::wstring(255, L'i'));
}

}  // namespace
}  // namespace kbase

// kinst-block: makes a channel's installer by appending its resource block, and checks
// the block of an installer.
//
//   kinst-block --res DIR --in PROGRAM.exe --out CHANNEL.exe [--7zz PATH]
//   kinst-block --check CHANNEL.exe [ARCHIVE.7z]
//
// Making: the regular files directly in DIR (the install_res items: 100.png, 110.png,
// soft.ico, 6000.xml, 6001.xml, 6002.xml, installconfig.ini) go into a solid LZMA 7z
// archive as install_res\<name>, made by running `7zz a -t7z -m0=lzma`. The archive
// becomes packet 0 of the block, with its CRC-32. The block is appended to a copy of
// PROGRAM.exe (a PE file without a block), its file offset is written into the PE
// header's TimeDateStamp, and the marker trailer goes last. Sign CHANNEL.exe after this
// step: the signature must follow the block, and signing after the block keeps
// TimeDateStamp out of the way of the signature.
//
// Checking: finds the block the way the installer does (header field, else marker),
// checks packet 0's CRC-32 and prints where it is; with ARCHIVE.7z, also writes
// packet 0 there.
//
// Exit code 0 when done, 1 on failure (a message on stderr), 2 on a usage error.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "main/resource_block_layout.h"

namespace {

namespace fs = std::filesystem;

int Usage() {
  std::fprintf(stderr,
               "usage: kinst-block --res DIR --in PROGRAM.exe --out CHANNEL.exe [--7zz PATH]\n"
               "       kinst-block --check CHANNEL.exe [ARCHIVE.7z]\n");
  return 2;
}

int Fail(const std::string& what) {
  std::fprintf(stderr, "kinst-block: %s\n", what.c_str());
  return 1;
}

bool ReadAll(const fs::path& path, std::string* bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream buffer;
  buffer << in.rdbuf();
  *bytes = buffer.str();
  return static_cast<bool>(in) || in.eof();
}

bool WriteAll(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return static_cast<bool>(out);
}

// A private folder under the temporary folder, removed with its contents.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = (fs::temp_directory_path() / "kinst-block-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~ScratchFolder() {
    std::error_code ignored;
    if (!path_.empty()) fs::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  bool valid() const { return !path_.empty(); }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

// Runs a program in `folder` and waits for it; its exit code, or -1.
int Run(const std::vector<std::string>& arguments, const fs::path& folder) {
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  const pid_t child = fork();
  if (child < 0) return -1;
  if (child == 0) {
    if (chdir(folder.c_str()) == 0) execvp(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

// The archive of the files directly in `res`, with paths install_res/<name>.
int MakeArchive(const fs::path& res, const std::string& sevenzz, std::string* archive) {
  std::error_code error;
  std::vector<std::string> names;
  for (const fs::directory_entry& entry : fs::directory_iterator(res, error)) {
    if (entry.is_directory()) {
      return Fail(res.string() + ": holds a folder (" + entry.path().filename().string() +
                  "); the items are plain files");
    }
    if (entry.is_regular_file()) names.push_back(entry.path().filename().string());
  }
  if (error) return Fail(res.string() + ": " + error.message());
  if (names.empty()) return Fail(res.string() + ": no files");
  std::sort(names.begin(), names.end());

  ScratchFolder scratch;
  if (!scratch.valid()) return Fail("cannot make a temporary folder");
  const fs::path staged = scratch.path() / "install_res";
  fs::create_directory(staged, error);
  std::vector<std::string> command = {sevenzz, "a", "-t7z", "-m0=lzma", "-bso0", "-bsp0", "-y",
                                      (scratch.path() / "block.7z").string()};
  for (const std::string& name : names) {
    if (!error) fs::copy_file(res / name, staged / name, error);
    command.push_back("install_res/" + name);
  }
  if (error) return Fail("cannot stage the items: " + error.message());
  const int code = Run(command, scratch.path());
  if (code != 0) return Fail(sevenzz + " failed (exit code " + std::to_string(code) + ")");
  if (!ReadAll(scratch.path() / "block.7z", archive)) return Fail("7zz wrote no archive");
  std::printf("kinst-block: %zu items, archive of %zu bytes\n", names.size(), archive->size());
  return 0;
}

int Make(const fs::path& res, const fs::path& in, const fs::path& out, const std::string& sevenzz) {
  std::string image;
  if (!ReadAll(in, &image)) return Fail("cannot read " + in.string());
  if (const kbase::AttachResult check = kbase::CheckAttachable(image);
      check != kbase::AttachResult::kOk) {
    return Fail(in.string() + ": " + kbase::AttachResultText(check));
  }
  std::string archive;
  if (const int code = MakeArchive(res, sevenzz, &archive); code != 0) return code;
  std::string block;
  if (!kbase::MakeBlock({archive}, &block)) return Fail("the archive is too large for a packet");
  const size_t offset = image.size();
  const kbase::AttachResult result = kbase::AttachBlock(block, &image);
  if (result != kbase::AttachResult::kOk) {
    return Fail(in.string() + ": " + kbase::AttachResultText(result));
  }
  if (!WriteAll(out, image)) return Fail("cannot write " + out.string());
  std::printf("kinst-block: block of %zu bytes at offset %zu (0x%zx), wrote %s\n", block.size(),
              offset, offset, out.c_str());
  return 0;
}

int Check(const fs::path& program, const char* archive_out) {
  std::string image;
  if (!ReadAll(program, &image)) return Fail("cannot read " + program.string());
  const auto* bytes = reinterpret_cast<const uint8_t*>(image.data());
  size_t position = 0;
  const char* how = "header field";
  if (!kbase::LocateBlockByHeader(bytes, image.size(), &position)) {
    how = "marker";
    if (!kbase::LocateBlockByMarker(bytes, image.size(), &position)) {
      return Fail(program.string() + ": no resource block");
    }
  }
  kbase::BlockPacket packet;
  if (!kbase::FindBlockPacket(bytes, image.size(), position, 0, &packet)) {
    return Fail(program.string() + ": packet 0 is missing, cut short or fails its CRC-32");
  }
  std::printf("kinst-block: block at offset %zu (found by %s), packet 0 of %u bytes, CRC-32 ok\n",
              position - kbase::kBlockMagicLength, how, packet.length);
  const std::string archive(reinterpret_cast<const char*>(packet.data), packet.length);
  if (archive_out != nullptr && !WriteAll(archive_out, archive)) {
    return Fail(std::string("cannot write ") + archive_out);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (!args.empty() && args[0] == "--check") {
    if (args.size() < 2 || args.size() > 3) return Usage();
    return Check(args[1], args.size() == 3 ? args[2].c_str() : nullptr);
  }
  std::string res, in, out, sevenzz = "7zz";
  for (size_t i = 0; i < args.size(); i += 2) {
    if (i + 1 >= args.size()) return Usage();
    const std::string& key = args[i];
    const std::string& value = args[i + 1];
    if (key == "--res") {
      res = value;
    } else if (key == "--in") {
      in = value;
    } else if (key == "--out") {
      out = value;
    } else if (key == "--7zz") {
      sevenzz = value;
    } else {
      return Usage();
    }
  }
  if (res.empty() || in.empty() || out.empty()) return Usage();
  return Make(res, in, out, sevenzz);
}

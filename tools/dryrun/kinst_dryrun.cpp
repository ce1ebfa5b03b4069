// kinst-dryrun: how the installer would judge a channel configuration on this machine.
//
//   kinst-dryrun FILE          FILE holds the configuration as the server serves it
//                              (signed; opened with this build's public key)
//   kinst-dryrun --xml FILE    FILE holds the plain document, before signing
//
// Nothing is downloaded or started. Leaves that report send their telemetry to a closed
// loopback port, so a dry run never counts in the channel statistics. Prints UTF-8 text;
// the exit code is the load result (0, 100 or 101).
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <memory>
#include <string>

#include "config/check_leaf_factory_impl.h"
#include "config/config_dry_run.h"
#include "config/install_config_mgr.h"
#include "report/install_report.h"

namespace {

bool ReadFileBytes(const wchar_t* path, std::string* bytes) {
  FILE* file = _wfopen(path, L"rb");
  if (file == nullptr) return false;
  char buffer[65536];
  size_t got;
  while ((got = fread(buffer, 1, sizeof buffer, file)) > 0) bytes->append(buffer, got);
  fclose(file);
  return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const bool plain = argc == 3 && wcscmp(argv[1], L"--xml") == 0;
  if (argc != 2 && !plain) {
    fprintf(stderr, "usage: kinst-dryrun [--xml] FILE\n");
    return 2;
  }
  std::string body;
  if (!ReadFileBytes(argv[argc - 1], &body)) {
    fprintf(stderr, "kinst-dryrun: cannot read %ls\n", argv[argc - 1]);
    return 2;
  }
  KDirectVestat::SetReportHostForTesting("127.0.0.1:9");
  kbase::KInstallConfigMgr config(std::make_unique<kbase::KCheckLeafFactory>());
  const int loaded = plain ? config.LoadDocumentText(body) : config.LoadBody(body);
  printf("load result %d\n", loaded);
  if (loaded == 0) fputs(kbase::ExplainConfiguration(config).c_str(), stdout);
  return loaded;
}

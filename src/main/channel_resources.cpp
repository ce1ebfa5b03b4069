#include "main/channel_resources.h"

#include <windows.h>

#include <json/json.h>

#include <cstdio>
#include <memory>

#include "build_settings.h"
#include "common/win/ansi_text.h"
#include "common/win/file_facts.h"
#include "config/city_lookup.h"
#include "download/download_file.h"
#include "main/install_log.h"
#include "ui/vw_resource_loader.h"

namespace kbase {
namespace {

constexpr int kDownloadTimeoutSeconds = 300;
// An area list is a short JSON object; anything larger is not one.
constexpr DWORD kAreaListLimit = 1 << 20;

std::string& ConfigHostOverride() {
  static std::string host;
  return host;
}
std::string& CdnHostOverride() {
  static std::string host;
  return host;
}
std::wstring ConfigUrl(const char* path) {
  const std::string& host = ConfigHostOverride().empty() ? kConfigHost : ConfigHostOverride();
  return FromAnsi("http://" + host + path);
}

// The downloaded file must be there afterwards for the download to count.
bool Download(const std::wstring& url, const std::wstring& path) {
  int error = 0;
  return DownloadToFile(url, path, &error, nullptr, kDownloadTimeoutSeconds) == 0 &&
         FileExists(path);
}

}  // namespace

void SetChannelResourceHostsForTesting(const std::string& config_host,
                                       const std::string& cdn_host) {
  ConfigHostOverride() = config_host;
  CdnHostOverride() = cdn_host;
}

void CheckArea(const std::wstring& install_res, int* popup_style, std::string* area) {
  const std::wstring path = install_res + L"\\evade.dat";
  std::string text;
  if (!Download(ConfigUrl("/aldconfig/area.dat"), path) || !ReadFileBytes(path, kAreaListLimit, &text)) return;
  // The reader is told to answer with errors; a document nested too deeply still makes
  // it throw, which counts as "not JSON".
  try {
    Json::CharReaderBuilder builder;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value root;
    std::string errors;
    if (!reader->parse(text.data(), text.data() + text.size(), &root, &errors)) return;
    const Json::Value* style = root.isObject() ? root.find("popstyle", "popstyle" + 8) : nullptr;
    *popup_style = style != nullptr && style->isInt() ? style->asInt() : 0;
    if (*popup_style != 0 && *popup_style != 1) {
      const Json::Value* list = root.find("area", "area" + 4);
      if (list != nullptr && list->isString()) *area = list->asString();
    }
  } catch (...) {
  }
}

void LoadUiTables(const std::wstring& install_res, bool channel_tables) {
  VwResourceLoader& loader = VwResourceLoader::Instance();
  if (channel_tables) {
    loader.SetResourceFolder(install_res);
    loader.ClearImageCache();
    loader.LoadStrings(6000);
    loader.LoadSkins(6001);
    loader.LoadStyles(6002);
  } else {
    loader.LoadSkins(10000);
    loader.LoadStyles(10001);
    loader.LoadStrings(10002);
  }
}

ChannelResources FetchChannelResources(const std::wstring& install_res, int32_t tid,
                                       int32_t source) {
  ChannelResources resources;
  const char* pattern = "/sem/installer/%d.png";
  std::wstring banner = install_res + L"\\100.png";
  if (source != 0) {
    pattern = "/sem/installer/ald_%d.png";
    banner = install_res + L"\\110.png";
    if (FolderExists(install_res)) {
      std::string area;
      CheckArea(install_res, &resources.popup_style, &area);
      const std::string city = ToAnsi(LookupCityId());
      // An empty city id (a failed lookup) is found in every area text.
      if (area.find(city) != std::string::npos) {
        resources.popup_style = 1;
        resources.in_area = true;
      } else {
        pattern = "/sem/installer/ald2_%d.png";
      }
    }
  }
  char path[64];
  std::snprintf(path, sizeof path, pattern, tid);
  const std::string& cdn = CdnHostOverride().empty() ? kCdnHost : CdnHostOverride();
  resources.banner_url = FromAnsi("http://" + cdn + path);
  if (FolderExists(install_res)) resources.banner_fresh = Download(resources.banner_url, banner);
  KLog("banner %ws: %d, popup style %d, in area %d", resources.banner_url.c_str(),
       resources.banner_fresh ? 1 : 0, resources.popup_style, resources.in_area ? 1 : 0);
  return resources;
}

}  // namespace kbase

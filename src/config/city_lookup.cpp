#include "config/city_lookup.h"

#include <json/json.h>

#include <cwchar>
#include <memory>

#include "build_settings.h"
#include "common/win/ansi_text.h"
#include "common/win/scoped_handle.h"
#include "config/city_info_record.h"
#include "config/registry_root.h"
#include "download/http_request.h"
#include "probe/machine_identity.h"

namespace kbase {
namespace {

constexpr wchar_t kAccountKey[] =
    L"CLSID\\{9B7A98EC-7EF9-468c-ACC8-37C793DBD7E0}\\Implemented Categories\\"
    L"{9B4EEDF7-FC98-4fa0-8440-9D1BC57B5F2F}";
constexpr wchar_t kRequestIdKey[] =
    L"HKEY_CLASSES_ROOT\\CLSID\\{8AB9CCC4-75EC-438b-B6C0-D8D78882A12D}\\Implemented Categories\\"
    L"{6BC04964-67B7-4d50-BB9B-3653A5C305B3}";
constexpr size_t kAccountUidLength = 32;
constexpr DWORD kAccountTextBytes = 1024;
constexpr DWORD kRequestIdBytes = 4094;
constexpr char kCityIdPath[] = "/ip/cityid";
constexpr char kCityInfoPath[] = "/cityinfo";

// Test overrides; only the thread that runs the lookups touches them.
std::string& CityIdHostOverride() {
  static std::string host;
  return host;
}
std::vector<std::string>& CityInfoEndpointsOverride() {
  static std::vector<std::string> endpoints;
  return endpoints;
}

// A string value of at most `capacity` bytes; empty when absent or not text.
std::wstring ReadText(HKEY key, const wchar_t* name, DWORD capacity) {
  std::vector<wchar_t> buffer(capacity / sizeof(wchar_t) + 1, L'\0');
  DWORD type = REG_NONE;
  DWORD size = capacity;
  if (::RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                         &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ)) {
    return std::wstring();
  }
  return std::wstring(buffer.data(), ::wcsnlen(buffer.data(), size / sizeof(wchar_t)));
}

DWORD ReadDword(HKEY key, const wchar_t* name) {
  DWORD value = 0;
  DWORD type = REG_NONE;
  DWORD size = sizeof(value);
  if (::RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
          ERROR_SUCCESS ||
      type != REG_DWORD || size != sizeof(value)) {
    return 0;
  }
  return value;
}

// The reply's "data" member as text, or empty. The reader is told not to throw; a
// reply nested too deeply still makes it throw, which ends as an empty result here.
std::wstring CityIdFromReply(const std::string& reply) {
  try {
    Json::CharReaderBuilder builder;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value root;
    std::string errors;
    if (!reader->parse(reply.data(), reply.data() + reply.size(), &root, &errors)) {
      return std::wstring();
    }
    if (!root.isObject()) return std::wstring();
    const Json::Value& data = root["data"];
    if (data.isString()) return FromUtf8(data.asString());
    if (data.isIntegral() || data.isBool()) return FromUtf8(data.asString());
  } catch (...) {
  }
  return std::wstring();
}

// A new id for every request when none is stored.
std::string FreshRequestId() { return ToAnsi(MakeInstallId()); }

std::vector<std::string> CityInfoEndpoints() {
  if (!CityInfoEndpointsOverride().empty()) return CityInfoEndpointsOverride();
  return {kCityInfoHost, kCityInfoAddress1, kCityInfoAddress2};
}

}  // namespace

ProductAccount ReadProductAccount() {
  ProductAccount account;
  ScopedKey key;
  if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, kAccountKey, 0, KEY_READ | KEY_WOW64_32KEY,
                      key.receive()) != ERROR_SUCCESS) {
    return account;
  }
  std::wstring uid = ReadText(key.get(), L"uid", kAccountTextBytes);
  if (uid.size() == kAccountUidLength) account.uid = std::move(uid);
  account.time = ReadDword(key.get(), L"time");
  account.desc = ReadText(key.get(), L"desc", kAccountTextBytes);
  account.user_type = ReadDword(key.get(), L"user_type");
  return account;
}

std::wstring LookupCityId() {
  const ProductAccount account = ReadProductAccount();
  const std::vector<std::string> headers = {
      "Content-Type: text/plain", "from: tovel", "version: 1", "lnt: 0", "lat: 0",
      "uniqid: " + ToAnsi(account.uid)};
  const std::string host = CityIdHostOverride().empty() ? kCityIdHost : CityIdHostOverride();
  std::string reply;
  PostEmpty(headers, FromAnsi("http://" + host + kCityIdPath), &reply);
  return CityIdFromReply(reply);
}

std::string CityInfoRequestId() {
  const std::wstring path = kRequestIdKey;
  ScopedKey key;
  if (::RegOpenKeyExW(ParseRegistryRoot(path), RegistrySubkey(path).c_str(), 0, KEY_ALL_ACCESS,
                      key.receive()) == ERROR_SUCCESS) {
    const std::wstring stored = ReadText(key.get(), L"idex", kRequestIdBytes);
    if (!stored.empty()) return ToAnsi(stored);
  }
  return FreshRequestId();
}

bool LookupCityInfo(std::wstring* reply) {
  reply->clear();
  const std::string id = CityInfoRequestId();
  if (id.empty()) return false;
  const std::string request = BuildCityInfoRequest(id);
  std::string answer;
  for (const std::string& endpoint : CityInfoEndpoints()) {
    answer.clear();
    PostData(FromAnsi("http://" + endpoint + kCityInfoPath), request.data(), request.size(),
             &answer);
    if (!answer.empty()) break;
  }
  if (answer.empty()) return false;
  std::string text;
  const CityInfoReply result = ParseCityInfoReply(answer, &text);
  if (result == CityInfoReply::kCorrupt) return false;
  *reply = FromUtf8(text);
  return result == CityInfoReply::kAnswer;
}

void SetCityIdHostForTesting(const std::string& host) { CityIdHostOverride() = host; }

void SetCityInfoEndpointsForTesting(const std::vector<std::string>& endpoints) {
  CityInfoEndpointsOverride() = endpoints;
}

}  // namespace kbase

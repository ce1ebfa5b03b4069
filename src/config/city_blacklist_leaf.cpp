#include "config/city_blacklist_leaf.h"

#include <cstdlib>
#include <ctime>
#include <cwchar>

#include "common/json/vw_json.h"
#include "common/win/ansi_text.h"
#include "config/city_lookup.h"
#include "config/expression_number.h"
#include "config/leaf_attributes.h"
#include "config/leaf_report.h"
#include "config/leaf_rules.h"

namespace kbase {
namespace {

// Lives for the whole process; only the thread that evaluates conditions uses it.
std::wstring& CityReplyCache() {
  static std::wstring reply;
  return reply;
}

std::wstring CityOfReply(const std::wstring& reply) {
  VwJson::Document document;
  if (!document.Parse(reply)) return std::wstring();
  document.Member(L"ret");  // present in answers, not used
  const VwJson::Handle city = document.Member(L"cityid");
  return city.Type() == VwJson::kTypeString ? city.String() : std::wstring();
}

}  // namespace

const std::wstring& CachedCityReply() { return CityReplyCache(); }
void ResetCityReplyCacheForTesting() { CityReplyCache().clear(); }

KCityBlackListLeaf::~KCityBlackListLeaf() = default;

std::unique_ptr<ICheckLeaf> KCityBlackListLeaf::Parse(int32_t id, const TiXmlElement& leaf) {
  auto made = std::make_unique<KCityBlackListLeaf>(id);
  if (!ReadLeafInt(leaf, "percent", &made->percent) ||
      !ReadLeafText(leaf, "cityid", &made->cityid)) {
    return nullptr;
  }
  return made;
}

int32_t KCityBlackListLeaf::Check() {
  std::wstring& cache = CityReplyCache();
  if (cache.empty()) {
    std::wstring reply;
    if (LookupCityInfo(&reply) && !reply.empty()) cache = reply;
  }
  const std::wstring user_city = cache.empty() ? std::wstring() : CityOfReply(cache);
  const bool matches =
      !cityid.empty() && !user_city.empty() && ::_wcsicmp(cityid.c_str(), user_city.c_str()) == 0;
  if (!matches) return 1;

  int draw = 0;
  if (percent >= 1 && percent < 100) {
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    draw = std::rand();
  }
  const bool result = CityDrawKeeps(percent, draw);
  SendLeafReport(kLeafStepCity, ReadLeadingInt(ToAnsi(cityid).c_str()), result ? 1 : 0,
                 ToAnsi(cache).c_str());
  return result ? 1 : 0;
}

}  // namespace kbase

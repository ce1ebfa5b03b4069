#include "config/check_leaf_factory_impl.h"

#include <strings.h>

#include "config/city_blacklist_leaf.h"
#include "config/file_leaves.h"
#include "config/object_leaves.h"
#include "config/reg_file_leaf.h"
#include "config/reg_leaf.h"
#include "config/system_leaves.h"
#include "config/uninstall_leaves.h"
#include "config/vpn_leaf.h"

namespace kbase {
namespace {

using ParseLeaf = std::unique_ptr<ICheckLeaf> (*)(int32_t id, const TiXmlElement& leaf);

struct LeafKind {
  const char* mode;
  ParseLeaf parse;
};

// In the order the modes are matched.
constexpr LeafKind kLeafKinds[] = {
    {"reg", &KRegLeaf::Parse},
    {"service", &KServiceLeaf::Parse},
    {"kernelobject", &KKernalObjectLeaf::Parse},
    {"driver", &KDriverLeaf::Parse},
    {"regfile", &KRegFileLeaf::Parse},
    {"varexfile", &KVarExFileLeaf::Parse},
    {"fullpathfile", &KFullPathFileLeaf::Parse},
    {"osversion", &KOSVersionLeaf::Parse},
    {"uninstcounts", &KUninstCountsLeaf::Parse},
    {"cityblacklist", &KCityBlackListLeaf::Parse},
    {"vpn", &KConnectVpnLeaf::Parse},
    {"vmvare", &KWorkInVMvareLeaf::Parse},
    {"uninstcountandtime", &KUninstCountAndTimeLeaf::Parse},
};

}  // namespace

std::unique_ptr<ICheckLeaf> KCheckLeafFactory::CreateLeaf(const std::string& mode, int32_t id,
                                                          const TiXmlElement& leaf) {
  for (const LeafKind& kind : kLeafKinds) {
    if (::strcasecmp(mode.c_str(), kind.mode) == 0) return kind.parse(id, leaf);
  }
  return nullptr;
}

}  // namespace kbase

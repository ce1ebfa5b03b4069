#pragma once
// "vpn": an active dial-up connection over a VPN device, and `switch` is on. Reports step
// 2 of event 30 whatever the result.
#include <memory>

#include "config/check_leaf.h"

class TiXmlElement;

namespace kbase {

class KConnectVpnLeaf : public ICheckLeaf {
 public:
  explicit KConnectVpnLeaf(int32_t leaf_id) : ICheckLeaf(leaf_id) {}
  static std::unique_ptr<ICheckLeaf> Parse(int32_t id, const TiXmlElement& leaf);  // "switch"
  int32_t Check() override;

  int32_t switch_on = 0;
};

// True when one of the active connections runs over a device of type "vpn".
bool HasVpnConnection();

}  // namespace kbase

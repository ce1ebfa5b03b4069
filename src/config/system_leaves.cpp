#include "config/system_leaves.h"

#include "common/win/ansi_text.h"
#include "config/expression_number.h"
#include "config/leaf_attributes.h"
#include "config/leaf_report.h"
#include "probe/system_facts.h"
#include "probe/vm_detection.h"

namespace kbase {

KOSVersionLeaf::~KOSVersionLeaf() = default;

std::unique_ptr<ICheckLeaf> KOSVersionLeaf::Parse(int32_t id, const TiXmlElement& leaf) {
  auto made = std::make_unique<KOSVersionLeaf>(id);
  if (!ReadLeafText(leaf, "versionvalue", &made->versionvalue)) return nullptr;
  return made;
}

int32_t KOSVersionLeaf::Check() {
  return ReadLeadingInt(ToAnsi(versionvalue).c_str()) == GetOsCode() ? 1 : 0;
}

std::unique_ptr<ICheckLeaf> KWorkInVMvareLeaf::Parse(int32_t id, const TiXmlElement& leaf) {
  auto made = std::make_unique<KWorkInVMvareLeaf>(id);
  if (!ReadLeafInt(leaf, "switch", &made->switch_on)) return nullptr;
  return made;
}

int32_t KWorkInVMvareLeaf::Check() {
  const bool detected = anti_cheat::DetectVirtualMachine();
  SendLeafReport(kLeafStepVirtualMachine, detected ? 1 : 0, switch_on, nullptr);
  return detected && switch_on != 0 ? 1 : 0;
}

}  // namespace kbase

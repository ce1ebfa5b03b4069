#include "ui/controls/vw_control_group.h"

#include <algorithm>
#include <mutex>

#include "ui/element_registry.h"
#include "ui/vw_window.h"

namespace kbase {

VwControlGroups& VwControlGroups::Instance() {
  static VwControlGroups groups;
  return groups;
}

void VwControlGroups::Join(const std::string& group, uint32_t element) {
  if (group.empty() || element == 0) return;
  std::lock_guard<std::mutex> hold(ElementRegistry::Instance().lock());
  std::vector<uint32_t>& members = groups_[group];
  if (std::find(members.begin(), members.end(), element) == members.end()) members.push_back(element);
}

void VwControlGroups::Leave(const std::string& group, uint32_t element) {
  std::lock_guard<std::mutex> hold(ElementRegistry::Instance().lock());
  auto found = groups_.find(group);
  if (found == groups_.end()) return;
  std::vector<uint32_t>& members = found->second;
  members.erase(std::remove(members.begin(), members.end(), element), members.end());
  if (members.empty()) groups_.erase(found);
}

std::vector<CVwWindow*> VwControlGroups::Members(const std::string& group) {
  std::vector<uint32_t> handles;
  {
    std::lock_guard<std::mutex> hold(ElementRegistry::Instance().lock());
    auto found = groups_.find(group);
    if (found != groups_.end()) handles = found->second;
  }
  // The registry takes its lock per lookup, so the copy is resolved outside it.
  std::vector<CVwWindow*> members;
  for (uint32_t handle : handles) {
    if (CVwWindow* element = ElementRegistry::Instance().Find(handle)) members.push_back(element);
  }
  return members;
}

bool VwControlGroups::AnyChecked(const std::string& group) {
  for (CVwWindow* member : Members(group)) {
    if (member->state() & kVwStateChecked) return true;
  }
  return false;
}

void VwControlGroups::CheckOnly(const std::string& group, CVwWindow* element) {
  for (CVwWindow* member : Members(group)) {
    const bool want = member == element;
    const bool has = (member->state() & kVwStateChecked) != 0;
    if (want == has) continue;
    const unsigned bit = kVwStateChecked;
    if (want) member->ModifyState(bit, 0);
    else member->ModifyState(0, bit);
    member->Invalidate();
  }
  if (element != nullptr && !(element->state() & kVwStateChecked)) {
    // Not a member (no group joined): still checked as asked.
    element->ModifyState(kVwStateChecked, 0);
    element->Invalidate();
  }
}

size_t VwControlGroups::group_count() {
  std::lock_guard<std::mutex> hold(ElementRegistry::Instance().lock());
  return groups_.size();
}

}  // namespace kbase

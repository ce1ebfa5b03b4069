#pragma once
// Named groups of controls ("group" of imgbtn and radio): one process-wide map from group
// name to the handles of its members, guarded by the element registry's lock. Members
// are kept as handles, so a member that is gone is simply not found.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace kbase {

class CVwWindow;

class VwControlGroups {
 public:
  static VwControlGroups& Instance();

  void Join(const std::string& group, uint32_t element);
  void Leave(const std::string& group, uint32_t element);
  // Members in the order they joined (elements that no longer exist are left out).
  std::vector<CVwWindow*> Members(const std::string& group);
  // Some member has its checked bit set.
  bool AnyChecked(const std::string& group);
  // Sets the checked bit of `element` and clears it on every other member; every member
  // whose bit changed is asked to repaint.
  void CheckOnly(const std::string& group, CVwWindow* element);
  size_t group_count();

 private:
  std::map<std::string, std::vector<uint32_t>> groups_;
};

}  // namespace kbase

#pragma once
// Leaves that look for a named object of the system: a service key, a named kernel
// object, a device published by a driver.
#include <memory>
#include <string>

#include "config/check_leaf.h"

class TiXmlElement;

namespace kbase {

// "service": HKEY_LOCAL_MACHINE "SYSTEM\CurrentControlSet\services\<name>" opens.
class KServiceLeaf : public ICheckLeaf {
 public:
  explicit KServiceLeaf(int32_t leaf_id) : ICheckLeaf(leaf_id) {}
  ~KServiceLeaf() override;
  static std::unique_ptr<ICheckLeaf> Parse(int32_t id, const TiXmlElement& leaf);  // "name"
  int32_t Check() override;

  std::wstring name;
};

// "kernelobject": a mutex, event, semaphore or named pipe of that name exists. "$SessionID"
// in the name stands for this process's session.
class KKernalObjectLeaf : public ICheckLeaf {
 public:
  explicit KKernalObjectLeaf(int32_t leaf_id) : ICheckLeaf(leaf_id) {}
  ~KKernalObjectLeaf() override;
  // "type", "name"
  static std::unique_ptr<ICheckLeaf> Parse(int32_t id, const TiXmlElement& leaf);
  int32_t Check() override;

  std::wstring type;
  std::wstring name;
};

// "driver": "\\.\Global\<name>" opens for reading, or exists but refuses access.
class KDriverLeaf : public ICheckLeaf {
 public:
  explicit KDriverLeaf(int32_t leaf_id) : ICheckLeaf(leaf_id) {}
  ~KDriverLeaf() override;
  static std::unique_ptr<ICheckLeaf> Parse(int32_t id, const TiXmlElement& leaf);  // "name"
  int32_t Check() override;

  std::wstring name;
};

}  // namespace kbase

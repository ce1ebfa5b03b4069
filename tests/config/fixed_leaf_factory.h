#pragma once
// Leaves for configuration tests: mode "fixed" (any case) answers its "result" attribute.
#include <tinyxml.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "config/check_leaf.h"
#include "config/check_leaf_factory.h"

namespace kbase::test {

class FixedLeaf : public ICheckLeaf {
 public:
  FixedLeaf(int32_t id, int32_t result) : ICheckLeaf(id), result_(result) {}
  int32_t Check() override { return result_; }

 private:
  int32_t result_;
};

class FixedLeafFactory : public ICheckLeafFactory {
 public:
  std::unique_ptr<ICheckLeaf> CreateLeaf(const std::string& mode, int32_t id,
                                         const TiXmlElement& leaf) override {
    const char* result = leaf.Attribute("result");
    if (_stricmp(mode.c_str(), "fixed") != 0 || result == nullptr) return nullptr;
    return std::make_unique<FixedLeaf>(id, std::atoi(result));
  }
};

}  // namespace kbase::test

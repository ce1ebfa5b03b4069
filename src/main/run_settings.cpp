#include "main/run_settings.h"

namespace kbase {

KRunSettings& RunSettings() {
  static KRunSettings settings;
  return settings;
}

}  // namespace kbase

#pragma once
// The step report (event 30) that the history, city, VPN and virtual-machine leaves send.
#include <cstdint>

namespace kbase {

// Steps of event 30, one per reporting leaf kind.
enum LeafReportStep {
  kLeafStepUninstall = 1,
  kLeafStepVpn = 2,
  kLeafStepVirtualMachine = 3,
  kLeafStepCity = 4,
};

// Sends one step report with the run's identity (and no third channel number) from a
// report object of its own. 0 or -1.
int SendLeafReport(int step, int value, int code, const char* text);

}  // namespace kbase

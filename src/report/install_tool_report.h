#pragma once
// The run controller's report sink. Each call sends one telemetry message and returns
// the send result (0 or -1).

namespace kbase {

class IInstallToolReport {
 public:
  virtual int ReportStep(int event, int step, int value, int code, const char* text) = 0;
  virtual int ReportPhase(int event, int result) = 0;
  virtual ~IInstallToolReport() = default;
  virtual int ReportPopup(int kind, int result) = 0;
};

}  // namespace kbase

#pragma once
// The install pipeline as the main window drives it.
#include <cstdint>

namespace kbase {

// Action bits of _RunDetector.
enum DetectorAction : int {
  kActionCheckAndDownload = 1,
  kActionVerify = 2,
  kActionLoad = 4,
  kActionRunList = 8,
};

class IKDetector {
 public:
  virtual int _Init(int32_t company_id, int32_t tryno_id) = 0;
  virtual int Uninit() = 0;
  virtual int CheckItem(int32_t number) = 0;
  virtual int _RunDetector(int action) = 0;
  virtual ~IKDetector() = default;
};

// The recommendation pop-up the load phase may ask before a package: the main window
// shows it. Returns the pop-up's end code; 2 means the user declined.
class IRecommendPopup {
 public:
  virtual ~IRecommendPopup() = default;
  virtual int Show() = 0;
};

}  // namespace kbase

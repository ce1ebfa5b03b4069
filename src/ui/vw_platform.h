#pragma once
// What the element tree needs from the window system, as one interface: DPI scaling,
// text measurement, skin facts, the cursor and messages to the host window. The Windows
// build installs its implementation (VwWin32Platform); until one is installed a neutral
// platform answers (no DPI, empty text extents, no skins, messages dropped), which is
// what the portable build and its fuzzer run with.
#include <cstddef>
#include <cstdint>
#include <string>

#include "ui/vw_geometry.h"

namespace kbase {

// The host window of an element (an HWND on Windows), opaque to the tree.
using VwHostWindow = void*;

struct VwTextMeasure {
  uint16_t font_id = 0;
  bool dpi = false;
  // DrawText flags above 0xF (no alignment bits); DT_CALCRECT is added by the platform.
  uint32_t format = 0;
  // Measuring width; with DT_WORDBREAK the height may reach 32767.
  int width = 0;
  bool gdiplus = false;
};

// The prefix of a text that fits a width, with its extent.
struct VwTextFit {
  size_t count = 0;
  double width = 0;
  double height = 0;
};

class IVwPlatform {
 public:
  virtual ~IVwPlatform() = default;
  virtual bool DpiAware() = 0;
  virtual double DpiRatio() = 0;
  virtual VwSize MeasureText(const std::wstring& text, const VwTextMeasure& how) = 0;
  // True when the named skin exists and draws a different picture per state.
  virtual bool SkinDependsOnState(const std::string& skin) = 0;
  virtual void SetCursor(int system_cursor_id) = 0;
  // View notification 1000 to the host: repaint this rectangle.
  virtual void RequestRedraw(VwHostWindow host, uint32_t element, const VwRect& rect) = 0;
  // View notification 6: a control event (3 move, 4 leave) of an element.
  virtual void SendControlEvent(VwHostWindow host, int element_id, int event) = 0;

  // Rich text. The defaults serve platforms without a device context: FitText searches
  // with MeasureText, pictures have no size, the YaHei rectangle stays, clicks go nowhere.
  // The longest prefix of text[start, start + length) whose single-line extent in the
  // font is at most max_width (the whole range when max_width is negative); GDI+ measures
  // in fractions.
  virtual VwTextFit FitText(const std::wstring& text, size_t start, size_t length, uint16_t font_id, bool dpi,
                            bool gdiplus, double max_width);
  // Natural size of a picture file (GDI+ reports fractions for some formats; the
  // controls round); false when it is missing or no image.
  virtual bool ImageFileSize(const std::wstring& path, double* width, double* height) { return false; }
  // The text rectangle nudged for a YaHei base face (unchanged for other faces).
  virtual VwRect AdjustYaheiRect(const VwRect& rect, uint32_t format, uint16_t font_id, bool dpi, bool autofix) {
    return rect;
  }
  // View notification 1 (element id and tag) sent to the parent of the host window, with
  // idFrom = the host's control id.
  virtual void SendClickToHostParent(VwHostWindow host, int element_id, const char* tag) {}

  // Facts and requests that only some controls need; each has a neutral default.

  // Frame size of a named skin's picture (GetSkinSize); 0 x 0 when absent.
  virtual VwSize SkinSize(const std::string& skin) { return {}; }
  // Moves the host's child window with that control id to the rectangle, reports view
  // notification 2 and refreshes it when visible; false when there is no such window.
  virtual bool PlaceRealWindow(VwHostWindow host, int control_id, const VwRect& rect) { return false; }
  virtual void ShowRealWindow(VwHostWindow host, int control_id, bool show) {}
  // Asks the real window to paint itself now.
  virtual void PaintRealWindow(VwHostWindow host, int control_id) {}
  // View notifications 5, 11 and 12: answers true when the receiver refuses the change.
  virtual bool SendVetoableChange(VwHostWindow host, int code, int element_id, int old_value, int new_value) {
    return false;
  }
  // View notification 10.
  virtual void SendTwoValues(VwHostWindow host, int code, int element_id, int value1, int value2) {}
  virtual void DestroyIconHandle(uintptr_t icon) {}
};

// The installed platform, else the neutral one.
IVwPlatform& VwPlatform();
// Installs a platform (null restores the neutral one); the caller keeps ownership and
// keeps it alive while elements exist.
void InstallVwPlatform(IVwPlatform* platform);

// Scales a layout length by the DPI ratio when awareness is on and `dpi` is set.
int VwScaleForElement(int value, bool dpi);

}  // namespace kbase

// libFuzzer target for layout documents: whatever the text, loading it as a "dlg" tree,
// laying it out, hit testing, painting and looking up ids must stay inside memory and
// terminate; the same text is also offered as a style and a string document. A text
// whose root is "layer" is loaded as a layer document into header, body and footer
// panels instead (twice, as a host reloading its layout does), and each panel gets the
// same treatment as a tree.
//
// The first four bytes choose the layout rectangle, whether the DPI flag is set (bit 0 of
// the third) and the host form (bit 1), and the probe margin; the rest is the document.

#include <tinyxml.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "ui/controls/vw_control_creator.h"
#include "ui/element_registry.h"
#include "ui/vw_canvas.h"
#include "ui/vw_dialog.h"
#include "ui/vw_layer_document.h"
#include "ui/vw_string_table.h"
#include "ui/vw_style_table.h"

namespace {

using namespace kbase;

class NullCanvas : public IVwCanvas {
 public:
  bool InRegion(const VwRect&) override { return true; }
  void SaveState() override {}
  void RestoreState() override {}
  void FrameRect(const VwRect&) override {}
  void FillRect(const VwRect&, VwColour, int, bool) override {}
  bool DrawSkin(const std::string&, const VwRect&, int, bool, int) override { return false; }
  void DrawText(const VwTextPaint&) override {}
};

// Mouse at a grid of points around the rectangle, two paints, an id lookup, hide and show.
void Exercise(CVwDialog& root, int width, int height, int probe) {
  for (int i = 0; i <= 8; ++i) {
    for (int j = 0; j <= 8; ++j) {
      // Each element hit gets the mouse as a host would route it: move, press, release.
      VwPoint point{-probe + i * (width + 2 * probe) / 8, -probe + j * (height + 2 * probe) / 8};
      CVwWindow* hit = ElementRegistry::Instance().Find(root.HitTest(point.x, point.y, 0));
      if (hit == nullptr) continue;
      for (unsigned message : {kVwMsgMouseMove, kVwMsgLButtonDown, kVwMsgLButtonUp, kVwMsgMouseWheel}) {
        intptr_t ignored = 0;
        hit->ProcessMessage(message, static_cast<uintptr_t>(probe) << 16, reinterpret_cast<intptr_t>(&point), &ignored);
      }
    }
  }
  NullCanvas canvas;
  root.RedrawRegion(canvas);
  root.RedrawRegion(canvas);  // stateful controls (the marquee) take a second step
  root.FindChildById(probe);
  intptr_t shown = 0;
  root.ProcessMessage(kVwMsgShow, 0, 0, &shown);
  root.ProcessMessage(kVwMsgShow, 1, 0, &shown);
}

void ExerciseLayer(const std::string& text, bool single_window, int width, int height, int probe) {
  CVwControlCreator creator;
  CVwDialog header, body, footer;
  for (CVwDialog* panel : {&header, &body, &footer}) panel->set_control_creator(&creator);
  const VwLayerPanels panels{&header, &body, &footer};
  const VwHostForm form = single_window ? VwHostForm::kSingleWindow : VwHostForm::kPopupWithView;
  for (int round = 0; round < 2; ++round) {
    VwLayerSettings settings;
    if (LoadLayerDocument(text, form, panels, &settings) == 0) return;
    LayoutLayerPanels(settings, panels, VwRect{0, 0, width, height});
    for (CVwDialog* panel : {&header, &body, &footer}) Exercise(*panel, width, height, probe);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  const int width = data[0] * 4 - 64;
  const int height = data[1] * 4 - 64;
  const bool dpi = (data[2] & 1) != 0;
  const bool single_window = (data[2] & 2) != 0;
  const int probe = data[3];
  const std::string text(reinterpret_cast<const char*>(data + 4), size - 4);

  VwStyleTable::Instance().Clear();
  VwStyleTable::Instance().LoadFromText(text);
  VwString::Instance().Clear();
  VwString::Instance().LoadFromText(text);

  TiXmlDocument document;
  document.Parse(text.c_str(), nullptr, TIXML_ENCODING_UTF8);
  const TiXmlElement* root_element = document.RootElement();
  if (document.Error() || root_element == nullptr) return 0;
  if (root_element->ValueStr() == "layer") {
    ExerciseLayer(text, single_window, width, height, probe);
    return 0;
  }

  CVwControlCreator creator;
  CVwDialog root;
  root.set_control_creator(&creator);
  root.set_dpi(dpi);
  root.Load(*root_element);
  root.SetAttribute("pos", "0,0,-0,-0", false);
  LayoutPlacement placement{0, 0, width, height};
  intptr_t result = 0;
  root.ProcessMessage(kVwMsgPositionChanged, 0, reinterpret_cast<intptr_t>(&placement), &result);
  Exercise(root, width, height, probe);
  return 0;
}

#include "ui/vw_layer_document.h"

#include <tinyxml.h>

#include <cstdio>

#include "ui/utf8_text.h"
#include "ui/vw_attribute_text.h"
#include "ui/vw_platform.h"

namespace kbase {
namespace {

int Number(const TiXmlElement& element, const char* name) {
  const char* value = element.Attribute(name);
  return value != nullptr ? ParseDecimal(value) : 0;
}

std::string Text(const TiXmlElement& element, const char* name) {
  const char* value = element.Attribute(name);
  return value != nullptr ? value : "";
}

// Loads one panel from its element; false when the layer has no such element.
bool LoadPanel(const TiXmlElement& layer, const char* tag, bool dpi_aware, CVwDialog* panel,
               const char* position_format) {
  const TiXmlElement* element = layer.FirstChildElement(tag);
  if (element == nullptr || panel == nullptr) return false;
  panel->set_dpi(dpi_aware);
  panel->Load(*element);
  char position[48];
  std::snprintf(position, sizeof(position), position_format, Number(*element, "height"));
  panel->SetAttribute("pos", position, true);
  return true;
}

void Place(CVwDialog* panel, const VwRect& area) {
  const LayoutPlacement placement = PlaceInContainer(panel->position(), area);
  intptr_t result = 0;
  panel->ProcessMessage(kVwMsgPositionChanged, 0, reinterpret_cast<intptr_t>(&placement), &result);
}

}  // namespace

int LoadLayerDocument(const std::string& xml, VwHostForm form, const VwLayerPanels& panels,
                      VwLayerSettings* settings) {
  TiXmlDocument document;
  document.Parse(xml.c_str(), nullptr, TIXML_ENCODING_UTF8);
  const TiXmlElement* layer = document.Error() ? nullptr : document.RootElement();
  if (layer == nullptr || layer->ValueStr() != "layer" || settings == nullptr) return 0;

  intptr_t result = 0;
  for (CVwDialog* panel : {panels.header, panels.body, panels.footer}) {
    if (panel != nullptr) panel->ProcessMessage(kVwMsgDestroy, 0, 0, &result);
  }
  VwLayerSettings s;
  s.frame = Text(*layer, "frame");
  s.title = WideFromUtf8(Text(*layer, "title"));
  s.width = Number(*layer, "width");
  s.height = Number(*layer, "height");
  s.dpi_aware = Number(*layer, "dpiaware") != 0;
  s.width = VwScaleForElement(s.width, s.dpi_aware);
  s.height = VwScaleForElement(s.height, s.dpi_aware);
  s.min_width = Number(*layer, "min_width");
  s.min_height = Number(*layer, "min_height");

  if (Number(*layer, "appwin") != 0) {
    s.app_window = true;
    s.ex_style |= kVwExStyleAppWindow;
  }
  if (form == VwHostForm::kSingleWindow && Number(*layer, "layered") != 0) {
    s.layered = true;
    s.ex_style |= kVwExStyleLayered;
  }
  if (Number(*layer, "child") != 0) {
    s.child = true;
    s.style = (s.style & kVwStyleChildKeep) | kVwStyleChildAdd;
    s.ex_style &= ~kVwExStyleLayered;
  } else {
    s.hold_size = Number(*layer, "holdsize") != 0;
    s.resizable = Number(*layer, "resize") != 0;
    if (s.resizable) {
      s.style |= kVwStyleResizable;
    } else {
      s.style &= ~kVwStyleMaximizeBox;
      s.style |= kVwStyleMinimizeBox;
    }
    s.ex_style |= Number(*layer, "noborder") != 0 ? kVwExStyleNoBorder : kVwExStyleEdges;
    s.movable = Number(*layer, "nomove") == 0;
  }

  s.header_present = LoadPanel(*layer, "header", s.dpi_aware, panels.header, "0,0,-0,%d");
  s.footer_present = LoadPanel(*layer, "footer", s.dpi_aware, panels.footer, "0,-%d,-0,-0");
  s.body_present = LoadPanel(*layer, "body", s.dpi_aware, panels.body, "0,0,-0,-0");
  if (form == VwHostForm::kSingleWindow && s.header_present && !s.body_present && !s.footer_present) {
    const TiXmlElement* header = layer->FirstChildElement("header");
    const char* height = header->Attribute("height");
    if (height != nullptr && EqualsAsciiNoCase(height, "full")) {
      panels.header->SetAttribute("pos", "0,0,-0,-0", true);
      s.header_fills = true;
    }
  }
  *settings = std::move(s);
  return 1;
}

void LayoutLayerPanels(const VwLayerSettings& settings, const VwLayerPanels& panels, const VwRect& client) {
  int body_top = client.top;
  int body_bottom = client.bottom;
  if (settings.header_present && panels.header != nullptr) {
    Place(panels.header, client);
    body_top = panels.header->rect().bottom;
  }
  if (settings.footer_present && panels.footer != nullptr) {
    // The whole client first, to learn the footer's height, then its band at the bottom.
    Place(panels.footer, client);
    const int height = panels.footer->rect().height();
    Place(panels.footer, VwRect{client.left, client.bottom - height, client.right, client.bottom});
    body_bottom = panels.footer->rect().top;
  }
  if (settings.body_present && panels.body != nullptr) {
    Place(panels.body, VwRect{client.left, body_top, client.right, body_bottom});
  }
}

}  // namespace kbase

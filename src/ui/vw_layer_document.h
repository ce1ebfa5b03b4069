#pragma once
// The layer document of a skinned dialog: the window's size, styles and behaviour, and
// the header, body and footer panels it lays out from top to bottom.
//
//   <layer frame=SKIN title=UTF8 width=N height=N dpiaware=0|1 min_width=N min_height=N
//          appwin=0|1 layered=0|1 child=0|1 holdsize=0|1 resize=0|1 noborder=0|1
//          nomove=0|1>
//     <header height=N|"full"> elements </header>
//     <body> elements </body>
//     <footer height=N> elements </footer>
//   </layer>
//
// Numbers read like atoi; absent attributes are 0. Window styles are kept as plain
// numbers so that this part builds without windows.h.
#include <cstdint>
#include <string>

#include "ui/vw_dialog.h"

namespace kbase {

// The two host forms: one window that is its own view, or a popup holding a view child.
enum class VwHostForm { kSingleWindow, kPopupWithView };

// Styles the layer starts from and the bits its attributes add or remove.
constexpr uint32_t kVwLayerInitialStyle = 0x80090000u;  // WS_POPUP | WS_SYSMENU | WS_MAXIMIZEBOX
constexpr uint32_t kVwLayerInitialExStyle = 0x10000u;   // WS_EX_CONTROLPARENT
constexpr uint32_t kVwStyleChildKeep = 0x39F7FFFFu;
constexpr uint32_t kVwStyleChildAdd = 0x46000000u;      // WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN
constexpr uint32_t kVwStyleResizable = 0x70000u;        // WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX
constexpr uint32_t kVwStyleMaximizeBox = 0x10000u;
constexpr uint32_t kVwStyleMinimizeBox = 0x20000u;
constexpr uint32_t kVwExStyleAppWindow = 0x40000u;
constexpr uint32_t kVwExStyleLayered = 0x80000u;
constexpr uint32_t kVwExStyleNoBorder = 0x88u;          // WS_EX_TOPMOST | WS_EX_TOOLWINDOW
constexpr uint32_t kVwExStyleEdges = 0x300u;            // WS_EX_CLIENTEDGE | WS_EX_WINDOWEDGE

struct VwLayerSettings {
  std::string frame;
  std::wstring title;
  int width = 0;
  int height = 0;
  int min_width = 0;
  int min_height = 0;
  bool dpi_aware = false;
  bool app_window = false;
  bool layered = false;  // the layer asked for layering (single-window form only)
  bool child = false;
  bool hold_size = false;
  bool resizable = false;
  bool movable = true;
  uint32_t style = kVwLayerInitialStyle;
  uint32_t ex_style = kVwLayerInitialExStyle;
  bool header_present = false;
  bool body_present = false;
  bool footer_present = false;
  bool header_fills = false;
};

struct VwLayerPanels {
  CVwDialog* header;
  CVwDialog* body;
  CVwDialog* footer;
};

// Parses a layer document and builds the panels from it (their old children destroyed
// first). Returns 0 and leaves `settings` and the panels untouched when the text does
// not parse or its root is not "layer"; 1 otherwise.
int LoadLayerDocument(const std::string& xml, VwHostForm form, const VwLayerPanels& panels,
                      VwLayerSettings* settings);

// Places the loaded panels in a client rectangle: the header at the top with its own
// height, the footer at the bottom with its own height, the body between them.
void LayoutLayerPanels(const VwLayerSettings& settings, const VwLayerPanels& panels, const VwRect& client);

}  // namespace kbase

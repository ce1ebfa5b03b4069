// The layer document: window styles from its attributes, the panels it builds and where
// the host lays them out.
#include <gtest/gtest.h>

#include <string>

#include "ui/vw_layer_document.h"

namespace kbase {
namespace {

struct Panels {
  CVwDialog header, body, footer;
  VwLayerPanels all() { return VwLayerPanels{&header, &body, &footer}; }
};

TEST(LayerDocument, StylesFromAttributes) {
  const struct {
    const char* attributes;
    VwHostForm form;
    uint32_t style;
    uint32_t ex_style;
  } kCases[] = {
      // Absent "resize": no maximize box, a minimize box; absent "noborder": edges.
      {"", VwHostForm::kSingleWindow, 0x800A0000u, 0x10300u},
      {"resize=\"1\"", VwHostForm::kSingleWindow, 0x800F0000u, 0x10300u},
      {"noborder=\"1\" appwin=\"1\"", VwHostForm::kSingleWindow, 0x800A0000u, 0x50088u},
      {"layered=\"1\" noborder=\"1\"", VwHostForm::kSingleWindow, 0x800A0000u, 0x90088u},
      // Only the single-window form is ever layered.
      {"layered=\"1\" noborder=\"1\"", VwHostForm::kPopupWithView, 0x800A0000u, 0x10088u},
      // A child ignores resize, noborder, holdsize and nomove, and is never layered.
      {"child=\"1\" layered=\"1\" resize=\"1\" noborder=\"1\"", VwHostForm::kSingleWindow, 0x46010000u, 0x10000u},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.attributes);
    Panels panels;
    VwLayerSettings settings;
    ASSERT_EQ(LoadLayerDocument(std::string("<layer ") + c.attributes + "/>", c.form, panels.all(), &settings), 1);
    EXPECT_EQ(settings.style, c.style);
    EXPECT_EQ(settings.ex_style, c.ex_style);
  }
}

TEST(LayerDocument, FieldsAndFlags) {
  Panels panels;
  VwLayerSettings settings;
  ASSERT_EQ(LoadLayerDocument(R"(<layer frame="bg" title="Tovel 安装" width="458" height="314" min_width="300"
      min_height="200" holdsize="1" nomove="1" resize="1"/>)",
                              VwHostForm::kSingleWindow, panels.all(), &settings),
            1);
  EXPECT_EQ(settings.frame, "bg");
  EXPECT_EQ(settings.title, L"Tovel \x5B89\x88C5");
  EXPECT_EQ(settings.width, 458);
  EXPECT_EQ(settings.height, 314);
  EXPECT_EQ(settings.min_width, 300);
  EXPECT_EQ(settings.min_height, 200);
  EXPECT_TRUE(settings.hold_size);
  EXPECT_TRUE(settings.resizable);
  EXPECT_FALSE(settings.movable);
  EXPECT_FALSE(settings.header_present || settings.body_present || settings.footer_present);

  ASSERT_EQ(LoadLayerDocument("<layer child=\"1\" nomove=\"1\" holdsize=\"1\"/>", VwHostForm::kSingleWindow,
                              panels.all(), &settings),
            1);
  EXPECT_TRUE(settings.movable);
  EXPECT_FALSE(settings.hold_size);
}

TEST(LayerDocument, RefusedDocumentsChangeNothing) {
  Panels panels;
  VwLayerSettings settings;
  ASSERT_EQ(LoadLayerDocument("<layer width=\"10\"><body><text id=\"5\"/></body></layer>", VwHostForm::kSingleWindow,
                              panels.all(), &settings),
            1);
  for (const char* bad : {"", "<layer", "<dlg width=\"20\"/>", "<?xml version=\"1.0\"?>"}) {
    SCOPED_TRACE(bad);
    EXPECT_EQ(LoadLayerDocument(bad, VwHostForm::kSingleWindow, panels.all(), &settings), 0);
    EXPECT_EQ(settings.width, 10);
    EXPECT_NE(panels.body.FindChildById(5), nullptr);
  }
}

TEST(LayerDocument, PanelsLaidOutTopToBottom) {
  Panels panels;
  VwLayerSettings settings;
  ASSERT_EQ(LoadLayerDocument(R"(<layer>
      <header height="30"><text id="1" pos="0,0,-0,-0"/></header>
      <body><text id="2" pos="0,0,-0,-0"/></body>
      <footer height="40"><text id="3" pos="0,0,-0,-0"/></footer>
    </layer>)",
                              VwHostForm::kSingleWindow, panels.all(), &settings),
            1);
  EXPECT_TRUE(settings.header_present && settings.body_present && settings.footer_present);
  EXPECT_FALSE(settings.header_fills);
  LayoutLayerPanels(settings, panels.all(), VwRect{0, 0, 200, 300});
  EXPECT_EQ(panels.header.rect(), (VwRect{0, 0, 200, 30}));
  EXPECT_EQ(panels.footer.rect(), (VwRect{0, 260, 200, 300}));
  EXPECT_EQ(panels.body.rect(), (VwRect{0, 30, 200, 260}));
  EXPECT_EQ(panels.body.FindChildById(2)->rect(), (VwRect{0, 30, 200, 260}));
  EXPECT_EQ(panels.footer.FindChildById(3)->rect(), (VwRect{0, 260, 200, 300}));

  // Reloading destroys the old elements.
  ASSERT_EQ(LoadLayerDocument("<layer><body/></layer>", VwHostForm::kSingleWindow, panels.all(), &settings), 1);
  EXPECT_EQ(panels.header.child_count(), 0u);
  EXPECT_FALSE(settings.header_present);
}

TEST(LayerDocument, FullHeightHeaderFillsOnlyTheSingleWindowForm) {
  const char* kLayer = R"(<layer><header height="FULL"><text id="1" pos="0,0,-0,-0"/></header></layer>)";
  Panels single, popup;
  VwLayerSettings single_settings, popup_settings;
  ASSERT_EQ(LoadLayerDocument(kLayer, VwHostForm::kSingleWindow, single.all(), &single_settings), 1);
  ASSERT_EQ(LoadLayerDocument(kLayer, VwHostForm::kPopupWithView, popup.all(), &popup_settings), 1);
  EXPECT_TRUE(single_settings.header_fills);
  EXPECT_FALSE(popup_settings.header_fills);
  LayoutLayerPanels(single_settings, single.all(), VwRect{0, 0, 458, 314});
  LayoutLayerPanels(popup_settings, popup.all(), VwRect{0, 0, 458, 314});
  EXPECT_EQ(single.header.rect(), (VwRect{0, 0, 458, 314}));
  EXPECT_EQ(popup.header.rect(), (VwRect{0, 0, 458, 0}));

  // With a body beside it the header keeps "full" read as 0.
  Panels both;
  VwLayerSettings settings;
  ASSERT_EQ(LoadLayerDocument(R"(<layer><header height="full"/><body/></layer>)", VwHostForm::kSingleWindow,
                              both.all(), &settings),
            1);
  EXPECT_FALSE(settings.header_fills);
}

}  // namespace
}  // namespace kbase

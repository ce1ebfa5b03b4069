// The element tree from layout text: creation by tag, attributes, "show", width and
// height rules, layout, hit testing, lookup by id, painting order and redraw requests,
// all through a recording platform and canvas.
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <memory>
#include <string>
#include <vector>

#include "ui/element_registry.h"
#include "ui/utf8_text.h"
#include "ui/vw_canvas.h"
#include "ui/vw_dialog.h"
#include "ui/vw_platform.h"
#include "ui/vw_static.h"
#include "ui/vw_string_table.h"
#include "ui/vw_style_table.h"

namespace kbase {
namespace {

// Text is 6 pixels a character and 12 high; skins named "*frames" depend on state.
class RecordingPlatform : public IVwPlatform {
 public:
  bool DpiAware() override { return aware; }
  double DpiRatio() override { return ratio; }
  VwSize MeasureText(const std::wstring& text, const VwTextMeasure&) override {
    return {static_cast<int>(text.size()) * 6, 12};
  }
  bool SkinDependsOnState(const std::string& skin) override { return skin.find("frames") != std::string::npos; }
  void SetCursor(int id) override { cursor = id; }
  void RequestRedraw(VwHostWindow host, uint32_t element, const VwRect& rect) override {
    redraws.push_back({element, rect});
  }
  void SendControlEvent(VwHostWindow, int id, int event) override { events.push_back({id, event}); }

  bool aware = false;
  double ratio = 1.0;
  int cursor = 0;
  std::vector<std::pair<uint32_t, VwRect>> redraws;
  std::vector<std::pair<int, int>> events;
};

class RecordingCanvas : public IVwCanvas {
 public:
  bool InRegion(const VwRect& rect) override { return !has_region || rect.Intersects(region); }
  void SaveState() override { log.push_back("save"); }
  void RestoreState() override { log.push_back("restore"); }
  void FrameRect(const VwRect&) override { log.push_back("frame"); }
  void FillRect(const VwRect&, VwColour colour, int, bool) override { log.push_back("fill " + std::to_string(colour)); }
  bool DrawSkin(const std::string& skin, const VwRect&, int state, bool, int) override {
    log.push_back("skin " + skin + " " + std::to_string(state));
    return true;
  }
  void DrawText(const VwTextPaint& text) override {
    log.push_back("text " + Utf8FromWide(text.text) + " colour " + std::to_string(text.colour) + " font " +
                  std::to_string(text.font_id));
  }
  bool has_region = false;
  VwRect region;
  std::vector<std::string> log;
};

class ElementTree : public ::testing::Test {
 protected:
  void SetUp() override {
    InstallVwPlatform(&platform_);
    VwStyleTable::Instance().Clear();
    VwStyleTable::Instance().LoadFromText(R"(<style>
        <class name="pad" margin="5"/>
        <class name="btn" skin="btn_frames" crtext="100000" crhover="200000" crdisabled="300000" cursor="hand"/>
        <class name="plain" crtext="400000" crbg="500000"/>
        <class name="hoverbg" crbghover="600000"/>
      </style>)");
    VwString::Instance().Clear();
    VwString::Instance().LoadFromText(R"(<string><s id="7">seven</s></string>)");
  }
  void TearDown() override {
    InstallVwPlatform(nullptr);
    VwStyleTable::Instance().Clear();
    VwString::Instance().Clear();
  }

  // Loads a "dlg" document and lays it out in the rectangle, as a host does.
  std::unique_ptr<CVwDialog> Build(const char* xml, VwRect area = {0, 0, 400, 300}) {
    TiXmlDocument document;
    document.Parse(xml, nullptr, TIXML_ENCODING_UTF8);
    EXPECT_FALSE(document.Error()) << document.ErrorDesc();
    auto root = std::make_unique<CVwDialog>();
    root->SetAttribute("pos", "0,0,-0,-0", true);
    root->set_dpi(dpi_);
    root->SetContainer(reinterpret_cast<VwHostWindow>(0x1234));
    if (document.RootElement() != nullptr) root->Load(*document.RootElement());
    root->SetAttribute("pos", "0,0,-0,-0", true);
    LayoutPlacement placement{area.left, area.top, area.width(), area.height()};
    intptr_t result = 0;
    root->ProcessMessage(kVwMsgPositionChanged, 0, reinterpret_cast<intptr_t>(&placement), &result);
    return root;
  }

  RecordingPlatform platform_;
  bool dpi_ = false;
};

TEST_F(ElementTree, BuildsAndPlacesChildren) {
  auto root = Build(R"(<dlg class="pad">
      <text id="1" pos="10,10">%str7% items</text>
      <text id="2" pos="0,0,-0,-0"/>
      <dlg id="3" pos="-100,-50,-0,-0">
        <text id="31" pos="|-10,|-5,|10,|5"/>
        <text id="32">auto</text>
      </dlg>
      <unknowntag id="4"><text id="41"/></unknowntag>
      <img id="5" pos="1,1"/>
      <text id="6" width="50" height="full">x</text>
      <text id="8" width="full" height="-3">ab</text>
    </dlg>)");
  // inner rectangle of the root: margins 5
  CVwWindow* text = root->FindChildById(1);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->text(), L"seven items");
  EXPECT_EQ(text->rect(), (VwRect{15, 15, 15 + 66, 15 + 12}));
  EXPECT_EQ(root->FindChildById(2)->rect(), (VwRect{5, 5, 395, 295}));
  CVwWindow* inner = root->FindChildById(3);
  EXPECT_EQ(inner->rect(), (VwRect{295, 245, 395, 295}));
  EXPECT_EQ(root->FindChildById(31)->rect(), (VwRect{335, 265, 355, 275}));
  EXPECT_EQ(root->FindChildById(32)->rect(), (VwRect{295, 245, 295 + 24, 245 + 12}));
  EXPECT_EQ(root->FindChildById(4), nullptr);
  EXPECT_EQ(root->FindChildById(41), nullptr);  // the unknown tag's subtree is skipped
  ASSERT_NE(root->FindChildById(5), nullptr);   // an img without a skin: 0 x 0
  EXPECT_TRUE(root->FindChildById(5)->rect().empty());
  EXPECT_EQ(root->FindChildById(6)->rect(), (VwRect{5, 5, 55, 295}));
  EXPECT_EQ(root->FindChildById(8)->rect(), (VwRect{5, 5, 395, 17}));
  EXPECT_EQ(root->child_count(), 6u);
  EXPECT_STREQ(text->GetObjectClass(), "text");
  EXPECT_TRUE(text->IsClass("text"));
  EXPECT_FALSE(text->IsClass("dlg"));
  EXPECT_EQ(ElementRegistry::Instance().Find(text->handle()), text);
  EXPECT_EQ(text->parent(), root->handle());
}

TEST_F(ElementTree, ShowAttributeAndVisibility) {
  auto root = Build(R"(<dlg>
      <text id="1" pos="0,0,10,10"/>
      <text id="2" pos="0,0,10,10" show="0"/>
      <text id="3" pos="0,0,10,10" show="1"/>
      <text id="4" pos="0,0,10,10" show=""/>
      <dlg id="5" pos="0,0,10,10" show="0"><text id="51" pos="0,0,5,5"/></dlg>
    </dlg>)");
  EXPECT_FALSE(root->FindChildById(1)->hidden());
  EXPECT_TRUE(root->FindChildById(2)->hidden());
  EXPECT_FALSE(root->FindChildById(3)->hidden());
  EXPECT_FALSE(root->FindChildById(4)->hidden());
  CVwWindow* nested = root->FindChildById(51);
  EXPECT_FALSE(nested->hidden());
  EXPECT_FALSE(nested->IsVisibleInTree());
  // Showing the container shows what is below it without touching the children's bits.
  intptr_t result = 0;
  root->FindChildById(5)->ProcessMessage(kVwMsgShow, 1, 0, &result);
  EXPECT_TRUE(nested->IsVisibleInTree());
}

TEST_F(ElementTree, HitTestingOrder) {
  auto root = Build(R"(<dlg>
      <text id="1" pos="0,0,100,100"/>
      <text id="2" pos="0,0,100,100" float="1"/>
      <text id="3" pos="0,0,100,100"/>
      <text id="4" pos="50,0,150,100" show="0"/>
      <text id="5" pos="0,100,100,200" transparent="1"/>
      <text id="6" pos="0,100,100,200"/>
      <dlg id="7" pos="200,0,300,100"><text id="71" pos="0,0,50,50"/></dlg>
      <dlg id="8" pos="200,100,300,200" onlydrawchild="1"><text id="81" pos="0,0,50,50"/></dlg>
      <dlg id="9" pos="300,0,400,100"><text id="91" pos="0,0,50,50" float="1"/><text id="92" pos="0,0,50,50"/></dlg>
    </dlg>)");
  const struct {
    int x, y, id;
  } cases[] = {
      {10, 10, 2},     // the floating one beats later non-floating siblings
      {120, 10, 0},    // only the hidden child covers it: the container itself
      {10, 150, 6},    // transparent is skipped, the one behind answers
      {210, 10, 71},   // into a child container
      {260, 60, 7},    // the container's own area
      {210, 110, 8},   // onlydrawchild answers for its children
      {310, 10, 91},   // floating first inside a nested container too
  };
  for (const auto& c : cases) {
    const uint32_t hit = root->HitTest(c.x, c.y, 0);
    CVwWindow* element = ElementRegistry::Instance().Find(hit);
    ASSERT_NE(element, nullptr) << c.x << "," << c.y;
    EXPECT_EQ(element->id(), c.id) << c.x << "," << c.y;
  }
  EXPECT_EQ(root->HitTest(500, 500, 0), 0u);
  EXPECT_EQ(root->FindChildById(1)->HitTest(100, 0, 0), 0u);  // right edge is outside
}

TEST_F(ElementTree, PaintsBackgroundTextAndChildrenInOrder) {
  auto root = Build(R"(<dlg class="plain">
      <text id="1" pos="0,0,50,20" class="btn">a</text>
      <text id="2" pos="0,20,50,40" class="plain" crtext="700000" border="1">b</text>
      <text id="3" pos="0,40,50,60" show="0">hidden</text>
      <dlg id="4" pos="0,200,50,260"><text id="41" pos="0,0,10,10" class="plain">c</text></dlg>
    </dlg>)");
  root->FindChildById(1)->ModifyState(kVwStateHover | kVwStatePushed, 0);
  RecordingCanvas canvas;
  EXPECT_EQ(root->RedrawRegion(canvas), 1);
  const std::vector<std::string> expected = {
      "fill 80",                               // the root's style background
      "save",
      "skin btn_frames 3",                     // raw state bits: hover + pushed
      "text a colour 32 font 0",               // hover colour
      "frame", "fill 80", "text b colour 112 font 0",  // own text colour wins over the style's
      "save", "fill 80", "text c colour 64 font 0", "restore",  // the inner dlg has no style
      "restore",
  };
  EXPECT_EQ(canvas.log, expected);

  // Outside the region nothing paints; a disabled container greys its descendants.
  RecordingCanvas clipped;
  clipped.has_region = true;
  clipped.region = {0, 200, 10, 210};
  root->FindChildById(4)->ModifyState(kVwStateDisabled, 0);
  root->FindChildById(41)->set_rect({0, 200, 10, 210});
  root->RedrawRegion(clipped);
  EXPECT_EQ(clipped.log, (std::vector<std::string>{"fill 80", "save", "save", "fill 80",
                                                   "text c colour 13421772 font 0", "restore", "restore"}));
}

TEST_F(ElementTree, CorrectDrawBackgroundMapsStates) {
  auto root = Build(R"(<dlg><text id="1" pos="0,0,50,20" class="btn" correctdrawbg="1"/></dlg>)");
  CVwWindow* element = root->FindChildById(1);
  const struct {
    unsigned state;
    int index;
  } cases[] = {{0, 0}, {kVwStateHover, 1}, {kVwStateHover | kVwStatePushed, 2}, {kVwStateDisabled | kVwStateHover, 3}};
  for (const auto& c : cases) {
    element->ModifyState(c.state, ~c.state);
    RecordingCanvas canvas;
    element->RedrawRegion(canvas);
    ASSERT_FALSE(canvas.log.empty());
    EXPECT_EQ(canvas.log[0], "skin btn_frames " + std::to_string(c.index)) << c.state;
  }
}

TEST_F(ElementTree, RedrawOnStateChangeAndRequests) {
  auto root = Build(R"(<dlg>
      <text id="1" pos="0,0,50,20" class="btn"/>
      <text id="2" pos="0,0,50,20" class="plain"/>
      <text id="3" pos="0,0,50,20" class="hoverbg"/>
      <dlg show="0"><text id="4" pos="0,0,50,20"/></dlg>
    </dlg>)");
  EXPECT_TRUE(root->FindChildById(1)->NeedRedrawWhenStateChange());
  EXPECT_FALSE(root->FindChildById(2)->NeedRedrawWhenStateChange());
  EXPECT_TRUE(root->FindChildById(3)->NeedRedrawWhenStateChange());
  root->FindChildById(1)->Invalidate();
  root->FindChildById(4)->Invalidate();  // below a hidden container: no request
  ASSERT_EQ(platform_.redraws.size(), 1u);
  EXPECT_EQ(platform_.redraws[0].first, root->FindChildById(1)->handle());
  EXPECT_EQ(platform_.redraws[0].second, (VwRect{0, 0, 50, 20}));
  root->FindChildById(1)->SetCursor();
  EXPECT_EQ(platform_.cursor, kVwCursorHand);
}

TEST_F(ElementTree, NotifyBitsAndRuntimePosition) {
  auto root = Build(R"(<dlg><text id="1" pos="0,0,50,20" notify="3"/><text id="2" pos="0,0,50,20" notify="2"/></dlg>)");
  intptr_t result = 0;
  VwPoint point{1, 1};
  for (int id : {1, 2}) {
    CVwWindow* element = root->FindChildById(id);
    element->ProcessMessage(kVwMsgMouseMove, 0, reinterpret_cast<intptr_t>(&point), &result);
    element->ProcessMessage(kVwMsgMouseLeave, 0, reinterpret_cast<intptr_t>(&point), &result);
  }
  EXPECT_EQ(platform_.events, (std::vector<std::pair<int, int>>{{1, 3}, {1, 4}, {2, 4}}));
  // A position set at run time takes effect at once.
  CVwWindow* element = root->FindChildById(2);
  EXPECT_EQ(element->SetAttribute("pos", "-30,-20,-0,-0", false), kVwAttributeTaken);
  EXPECT_EQ(element->rect(), (VwRect{370, 280, 400, 300}));
  EXPECT_EQ(element->SetAttribute("textmode", "25", false), kVwAttributeUnknown);  // style-only
  EXPECT_EQ(element->SetAttribute("valign", "centre", false), kVwAttributeUnknown);
}

TEST_F(ElementTree, DpiFlagScalesPositions) {
  platform_.aware = true;
  platform_.ratio = 1.5;
  dpi_ = true;
  auto root = Build(R"(<dlg><text id="1" pos="10,10,w21,h20"/><dlg id="2" pos="0,100"><text id="21" pos="3,3"/></dlg></dlg>)");
  EXPECT_EQ(root->FindChildById(1)->rect(), (VwRect{15, 15, 46, 45}));
  EXPECT_TRUE(root->FindChildById(21)->dpi());  // inherited through the nested container
  EXPECT_EQ(root->FindChildById(21)->rect().left, 4);
  platform_.aware = false;
  auto plain = Build(R"(<dlg><text id="1" pos="10,10,w21,h20"/></dlg>)");
  EXPECT_EQ(plain->FindChildById(1)->rect(), (VwRect{10, 10, 31, 30}));
}

TEST_F(ElementTree, RemovingChildrenAndReloading) {
  auto root = Build(R"(<dlg><text id="1"/><text id="2"/><dlg id="3"><text id="31"/></dlg></dlg>)");
  const size_t before = ElementRegistry::Instance().size();
  const uint32_t handle = root->FindChildById(31)->handle();
  EXPECT_EQ(root->RemoveChildById(3, true), nullptr);
  EXPECT_EQ(ElementRegistry::Instance().Find(handle), nullptr);
  EXPECT_EQ(ElementRegistry::Instance().size(), before - 2);
  std::unique_ptr<CVwWindow> kept = root->RemoveChildById(1, false);
  ASSERT_NE(kept, nullptr);
  EXPECT_EQ(kept->parent(), 0u);
  EXPECT_EQ(root->child_count(), 1u);
  // Loading children again first destroys the old ones.
  TiXmlDocument document;
  document.Parse("<x><text id=\"9\"/></x>");
  root->LoadChildren(document.RootElement()->FirstChildElement());
  EXPECT_EQ(root->child_count(), 1u);
  EXPECT_EQ(root->FindChildById(2), nullptr);
  EXPECT_NE(root->FindChildById(9), nullptr);
}

class TagCreator : public IVwControlCreator {
 public:
  std::unique_ptr<CVwWindow> CreateByTag(const char* tag) override {
    asked.push_back(tag);
    if (std::string(tag) == "box") return std::make_unique<CVwDialog>();
    if (std::string(tag) == "label") return std::make_unique<CVwStatic>();
    return nullptr;
  }
  std::vector<std::string> asked;
};

TEST_F(ElementTree, CreatorServesUnknownTagsAtEveryDepth) {
  TagCreator creator;
  TiXmlDocument document;
  document.Parse(R"(<dlg><box id="1"><dlg id="2"><label id="3"/></dlg><label id="4"/></box><img/><what/></dlg>)");
  CVwDialog root;
  root.set_control_creator(&creator);
  root.Load(*document.RootElement());
  EXPECT_NE(root.FindChildById(3), nullptr);
  EXPECT_NE(root.FindChildById(4), nullptr);
  // Built-in tags never reach the creator, even before their class exists.
  EXPECT_EQ(creator.asked, (std::vector<std::string>{"box", "label", "label", "what"}));
}

}  // namespace
}  // namespace kbase

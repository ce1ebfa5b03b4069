// The control catalogue without Windows: every tag of both factories builds its class,
// takes its own attributes and reports its natural size; then the behaviour that needs
// no pixels (groups, checked state, progress arithmetic, the marquee's steps, button
// frames, real-window requests, vetoable changes, list scrolling, creator chaining).
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "ui/controls/vw_check_box.h"
#include "ui/controls/vw_control_creator.h"
#include "ui/controls/vw_control_group.h"
#include "ui/controls/vw_image_ex.h"
#include "ui/controls/vw_image_wnd.h"
#include "ui/controls/vw_list_wnd.h"
#include "ui/controls/vw_progress.h"
#include "ui/controls/vw_slider.h"
#include "ui/controls/vw_tab_ctrl.h"
#include "ui/element_registry.h"
#include "ui/vw_canvas.h"
#include "ui/vw_dialog.h"
#include "ui/vw_element_tags.h"
#include "ui/vw_platform.h"
#include "ui/vw_style_table.h"

namespace kbase {
namespace {

// Text is 6 pixels a character and 12 high. A skin named "pic<W>x<H>" has frames of
// W x H; "frames" in a name makes it depend on state. Image files named "<W>x<H>.png"
// have that size.
class RecordingPlatform : public IVwPlatform {
 public:
  bool DpiAware() override { return aware; }
  double DpiRatio() override { return ratio; }
  VwSize MeasureText(const std::wstring& text, const VwTextMeasure&) override {
    return {static_cast<int>(text.size()) * 6, 12};
  }
  bool SkinDependsOnState(const std::string& skin) override { return skin.find("frames") != std::string::npos; }
  void SetCursor(int) override {}
  void RequestRedraw(VwHostWindow, uint32_t element, const VwRect&) override { redraws.push_back(element); }
  void SendControlEvent(VwHostWindow, int, int) override {}
  VwSize SkinSize(const std::string& skin) override {
    int w = 0, h = 0;
    if (std::sscanf(skin.c_str(), "pic%dx%d", &w, &h) == 2) return {w, h};
    return {};
  }
  bool ImageFileSize(const std::wstring& path, double* width, double* height) override {
    int w = 0, h = 0;
    const std::string narrow(path.begin(), path.end());
    if (std::sscanf(narrow.c_str(), "%dx%d.png", &w, &h) != 2) return false;
    *width = w;
    *height = h;
    return true;
  }
  bool PlaceRealWindow(VwHostWindow, int id, const VwRect& rect) override {
    placed.push_back({id, rect});
    return true;
  }
  void ShowRealWindow(VwHostWindow, int id, bool show) override { shown.push_back({id, show}); }
  bool SendVetoableChange(VwHostWindow, int code, int id, int old_value, int new_value) override {
    vetoable.push_back({code, old_value, new_value});
    return veto;
  }

  bool aware = false;
  double ratio = 1.0;
  bool veto = false;
  std::vector<uint32_t> redraws;
  std::vector<std::pair<int, VwRect>> placed;
  std::vector<std::pair<int, bool>> shown;
  struct Change {
    int code, old_value, new_value;
  };
  std::vector<Change> vetoable;
};

class RecordingCanvas : public IVwCanvas {
 public:
  bool InRegion(const VwRect&) override { return true; }
  void SaveState() override {}
  void RestoreState() override {}
  void FrameRect(const VwRect&) override {}
  void FillRect(const VwRect&, VwColour, int, bool) override {}
  bool DrawSkin(const std::string& skin, const VwRect& rect, int state, bool, int alpha) override {
    skins.push_back({skin, rect, state, alpha});
    return true;
  }
  bool DrawSkinPlain(const std::string& skin, const VwRect& rect, int state) override {
    skins.push_back({skin, rect, state, 255});
    return true;
  }
  void DrawText(const VwTextPaint& text) override { texts.push_back(text.text); }
  void RoundRect(const VwRect& rect, int, int, VwColour, int, VwColour fill, bool, int, int) override {
    round_rects.push_back({rect, fill});
  }
  struct Skin {
    std::string name;
    VwRect rect;
    int state;
    int alpha;
  };
  std::vector<Skin> skins;
  std::vector<std::wstring> texts;
  std::vector<std::pair<VwRect, VwColour>> round_rects;
};

class Controls : public ::testing::Test {
 protected:
  void SetUp() override {
    InstallVwPlatform(&platform_);
    VwStyleTable::Instance().Clear();
    VwStyleTable::Instance().LoadFromText(R"(<style>
        <class name="frames_btn" skin="pic10x10frames"/>
        <class name="plain_btn" crtext="102030"/>
      </style>)");
  }
  void TearDown() override {
    InstallVwPlatform(nullptr);
    VwStyleTable::Instance().Clear();
  }
  // A root dialog with the extension creator, loaded from the document and laid out.
  std::unique_ptr<CVwDialog> Build(const std::string& xml, VwRect area = {0, 0, 400, 300}) {
    TiXmlDocument document;
    document.Parse(xml.c_str(), nullptr, TIXML_ENCODING_UTF8);
    EXPECT_FALSE(document.Error()) << document.ErrorDesc() << "\n" << xml;
    auto root = std::make_unique<CVwDialog>();
    root->set_control_creator(&creator_);
    root->SetContainer(reinterpret_cast<VwHostWindow>(0x1234));
    if (document.RootElement() != nullptr) root->Load(*document.RootElement());
    root->SetAttribute("pos", "0,0,-0,-0", true);
    LayoutPlacement placement{area.left, area.top, area.width(), area.height()};
    intptr_t result = 0;
    root->ProcessMessage(kVwMsgPositionChanged, 0, reinterpret_cast<intptr_t>(&placement), &result);
    return root;
  }
  static void Send(CVwWindow* element, unsigned message, int x, int y) {
    VwPoint point{x, y};
    intptr_t result = 0;
    element->ProcessMessage(message, 0, reinterpret_cast<intptr_t>(&point), &result);
  }

  RecordingPlatform platform_;
  CVwControlCreator creator_;
};

struct TagCase {
  const char* tag;
  const char* extra;       // attributes and content of the element
  const char* own;         // its own attributes as name=value pairs, ";"-separated
  int width, height;       // natural size at position "5,5"
};

// Every tag a layout may use except the rich text ones, with the natural size each
// reports: pictures give their frame size, text 6 x 12 a character.
const TagCase kTags[] = {
    {"dlg", "", "onlydrawchild=1", 0, 0},
    {"text", ">abc</text", "", 18, 12},
    {"button", ">ab</button", "", 12, 12},
    {"img", " skin=\"pic16x16\"", "skin=pic16x16;ico=x;ico_top=1;caption=c;caption_top=2;group=g0;mask=m;sub=1;cliptype=3;clipparam=1,2,3;alpha=50", 16, 16},
    {"imgbg", " skin=\"pic8x4\" cx=\"30\" cy=\"20\"", "skin=s;fill=1;cx=30;cy=20", 30, 20},
    {"scrollimg", " skin=\"pic50x40\"", "skin=s;hscroll=1;vscroll=1;cx=1;cy=1;hpos=3;vpos=4", 50, 40},
    {"progress", " bgskin=\"pic3x3\"", "bgskin=b;posskin=p;skinposx=0;min=0;max=100;value=5;showpercent=1;progressbar=0", 0, 3},
    {"progressex", " bgskin=\"pic3x7\"", "extendtext=e;posimg_left=l;min=1", 0, 7},
    {"imgbtn", " skin=\"pic32x32\"", "skin=pic32x32;group=g1;caption=x", 32, 32},
    {"skinbtn", " skin=\"pic20x10\"", "skin=s", 20, 10},
    {"realwnd", "", "", 0, 0},
    {"realwnd2", "", "", 0, 0},
    {"hr", ">ab</hr", "size=2;style=dash", 12, 12},
    {"check", ">abc</check", "check=1;skin=s;skin_check=c;checkbox_size=13;checkbox_sizeH=13;text_spacing=4;unique_id=9", 13 + 4 + 18, 13},
    {"icon", " size=\"24\"", "src=1;oem=32512;size=24", 24, 24},
    {"tabctrl", "", "cursel=0;tabwidth=60;tabheight=20;tabpos=0;tabspacing=2;vertfont=0;tabskin=t;frameskin=f;iconskin=i;splitterskin=s;framepos=0,20,-0,-0;icon-x=1;icon-y=1;text-x=1;text-y=1;tabtext=x;Selfont=0004;tabalign=center", 0, 0},
    {"radio", " skin=\"pic14x12\">r</radio", "check=1;group=g2;skin=s;skin_check=c;radiobox_size=12;text_spacing=2", 14 + 4 + 6, 12},
    {"customradio", " skin=\"pic14x12\"", "check=0;group=g3;skin=s;skin_check=c;radiobox_size=12;text_spacing=2", 14, 12},
    {"link", ">abcd</link", "", 24, 12},
    {"memimage", "", "mempointer=0x1000", 0, 0},
    {"storageimage", " filepath=\"60x20.png\" subwidth=\"20\"", "filepath=a.png;subwidth=10;sub=1", 20, 20},
    {"storageimageex", " filepath=\"60x20.png\"", "alpha=128", 60, 20},
    {"imgbtnsized", " skin=\"pic40x20\"", "skin=s;skinmid=m;left=5", 40, 20},
    {"imggray", " skin=\"pic9x9\"", "skin=s;gray=1", 9, 9},
    {"imgex", " skin=\"pic9x8\"", "alpha=100;sub=1;skin=s", 9, 8},
    {"imgrotale", " skin=\"pic9x7\"", "angle=45;sub=0;skin=s", 9, 7},
    {"slider", " skinbg=\"pic100x6\"", "sliderpos=50;skinbg=b;skin=t;bgleftmargin=1;bgrightmargin=1;bgtopmargin=1;bgbottommargin=1", 100, 6},
    {"dlgbtn", "", "", 0, 0},
    {"hicon", "", "handle=0;autodel=0", 0, 0},
    {"listwnd", "", "scrollclass=x;externline=1;wheelmove=30", 0, 0},
    {"listitem", "", "height=20;viewvisible=1", 0, 0},
    {"rundrect", "", "rndwidht=4;rndheight=4", 0, 0},
    {"rundrectpath", "", "bdrawbg=1;crline=FF0000;crlinealpha=128;linesize=2", 0, 0},
    {"expendimg", " skin=\"pic30x30\"", "skinalpha=200;skin=s;margin_left=1;margin_right=1;margin_top=1;margin_bottom=1;stretch=1", 30, 30},
    {"realwndex", "", "", 0, 0},
    {"shadowtext", ">ab</shadowtext", "hovershadow=1;normalshadow=0;crshadowalpha=100;crshaow=000000", 12, 12},
    {"imgex2", " skin=\"pic5x6\"", "stretch=0;topdraw=1", 5, 6},
    {"hrex", "", "size=1;style=dot", 0, 0},
    {"listscrollbar", " barwidth=\"8\"", "color_bar=FFFFFF;color_bar_hv=000000;color_bar_border=111111;rectanglebar=1;barwidth=8;permanent_hide=0", 8, 300},
    {"dlgbtnEx2", "", "", 0, 0},
    {"ownereventdlg", "", "", 0, 0},
    {"lineviewex", "", "dashstyle=1;linecolor=FF0000;vertical=1;startcap=2;endcap=2;hover_linecolor=00FF00;push_linecolor=0000FF", 0, 0},
    {"sliderviewex", "", "transparent=0;current_value=3;max_value=10;step_value=1;enable_mousewhell=1", 0, 0},
};

TEST_F(Controls, EveryTagBuildsItsClassTakesItsAttributesAndSizesItself) {
  for (const TagCase& c : kTags) {
    SCOPED_TRACE(c.tag);
    std::string element = std::string("<") + c.tag + " id=\"77\" pos=\"5,5\"" + c.extra;
    // Elements with content close themselves in `extra` ("...>text</tag").
    element += std::string(c.extra).find("</") == std::string::npos ? "/>" : ">";
    auto root = Build("<dlg>" + element + "</dlg>");
    ASSERT_EQ(root->child_count(), 1u);
    CVwWindow* made = root->child(0);
    EXPECT_STREQ(made->GetObjectClass(), c.tag);
    EXPECT_TRUE(made->IsClass(c.tag));
    EXPECT_EQ(made->rect(), (VwRect{5, 5, 5 + c.width, 5 + c.height}));
    // Each own attribute is taken at run time too; an unknown name is refused.
    std::string pairs = c.own;
    for (size_t start = 0; start < pairs.size();) {
      size_t end = pairs.find(';', start);
      if (end == std::string::npos) end = pairs.size();
      const std::string pair = pairs.substr(start, end - start);
      const size_t equals = pair.find('=');
      ASSERT_NE(equals, std::string::npos) << pair;
      EXPECT_EQ(made->SetAttribute(pair.substr(0, equals).c_str(), pair.substr(equals + 1).c_str(), false),
                kVwAttributeTaken)
          << pair;
      start = end + 1;
    }
    EXPECT_EQ(made->SetAttribute("nosuchattribute", "1", false), kVwAttributeUnknown);
  }
}

TEST_F(Controls, FactoryOrderAndCreatorChain) {
  // Every built-in tag except the rich text one is made by a plain dialog.
  CVwDialog plain;
  for (size_t i = 0; i < kVwBuiltInTagCount; ++i) {
    const std::string tag = kVwBuiltInTags[i];
    auto element = plain.CreateChildByTag(tag.c_str());
    if (tag == "richtext") continue;
    ASSERT_NE(element, nullptr) << tag;
    EXPECT_STREQ(element->GetObjectClass(), tag.c_str());
  }
  // Extension tags need the creator; without it they are skipped.
  EXPECT_EQ(plain.CreateChildByTag("dlgbtnEx2"), nullptr);

  // An unknown tag goes to the next creator; containers carry the creator down.
  struct Next : IVwControlCreator {
    std::unique_ptr<CVwWindow> CreateByTag(const char* tag) override {
      asked.push_back(tag);
      return nullptr;
    }
    std::vector<std::string> asked;
  } next;
  CVwControlCreator chained(&next);
  EXPECT_EQ(chained.CreateByTag("imgradio"), nullptr);
  EXPECT_EQ(next.asked, std::vector<std::string>{"imgradio"});
  EXPECT_EQ(chained.CreateByTag("richtext2"), nullptr);  // rich text is made elsewhere

  auto root = Build(R"(<dlg><dlg><dlgbtn id="1"><dlgbtnEx2 id="2" pos="0,0,10,10"/></dlgbtn></dlg></dlg>)");
  CVwWindow* deep = root->FindChildById(2);
  ASSERT_NE(deep, nullptr);
  EXPECT_STREQ(deep->GetObjectClass(), "dlgbtnEx2");
}

TEST_F(Controls, ClickableTagsPerHostForm) {
  const struct {
    const char* tag;
    bool single_window;
    bool view_child;
  } cases[] = {{"imgbtn", true, true}, {"dlgbtnEx2", true, false}, {"radio", true, false},
               {"richtext", false, true}, {"text", false, false},  {"img", false, false},
               {"link", true, true}};
  for (const auto& c : cases) {
    EXPECT_EQ(IsClickableTag(c.tag, false), c.single_window) << c.tag;
    EXPECT_EQ(IsClickableTag(c.tag, true), c.view_child) << c.tag;
  }
}

TEST_F(Controls, ImageButtonGroupsHoldOneCheckedMember) {
  auto root = Build(R"(<dlg>
      <imgbtn id="1" pos="0,0" skin="pic10x10" group="tabs"/>
      <imgbtn id="2" pos="20,0" skin="pic10x10" group="tabs"/>
      <imgbtn id="3" pos="40,0" skin="pic10x10"/>
    </dlg>)");
  auto* a = static_cast<CVwImageBtnWnd*>(root->FindChildById(1));
  auto* b = static_cast<CVwImageBtnWnd*>(root->FindChildById(2));
  auto* lone = static_cast<CVwImageBtnWnd*>(root->FindChildById(3));
  ASSERT_EQ(VwControlGroups::Instance().Members("tabs").size(), 2u);

  // Released outside its rectangle: nothing changes.
  Send(a, kVwMsgLButtonUp, 15, 5);
  EXPECT_FALSE(a->state() & kVwStateChecked);
  EXPECT_EQ(a->StateIndex(), 0);

  Send(a, kVwMsgLButtonUp, 5, 5);
  EXPECT_TRUE(a->state() & kVwStateChecked);
  EXPECT_EQ(a->StateIndex(), 2);
  Send(b, kVwMsgLButtonUp, 25, 5);
  EXPECT_FALSE(a->state() & kVwStateChecked);
  EXPECT_TRUE(b->state() & kVwStateChecked);
  // With a checked member, a hovered member shows 1 and a disabled one is not frame 3.
  a->ModifyState(kVwStateHover | kVwStateDisabled, 0);
  EXPECT_EQ(a->StateIndex(), 1);
  // A second click on the checked member unchecks it.
  Send(b, kVwMsgLButtonUp, 25, 5);
  EXPECT_FALSE(b->state() & kVwStateChecked);
  EXPECT_EQ(a->StateIndex(), 3);
  // Without a group a release checks nothing.
  Send(lone, kVwMsgLButtonUp, 45, 5);
  EXPECT_FALSE(lone->state() & kVwStateChecked);

  // Members leave the group with their element.
  root.reset();
  EXPECT_TRUE(VwControlGroups::Instance().Members("tabs").empty());
}

TEST_F(Controls, CheckBoxesToggleAndRadiosExcludeEachOther) {
  auto root = Build(R"(<dlg>
      <check id="1" pos="0,0,50,20" check="1">on</check>
      <radio id="2" pos="0,30,50,50" group="r" check="1"/>
      <radio id="3" pos="0,60,50,80" group="r"/>
      <customradio id="4" pos="0,90,50,110" group="r"/>
    </dlg>)");
  CVwWindow* check = root->FindChildById(1);
  EXPECT_TRUE(check->state() & kVwStateChecked);
  Send(check, kVwMsgLButtonUp, 10, 10);
  EXPECT_FALSE(check->state() & kVwStateChecked);
  Send(check, kVwMsgLButtonUp, 80, 10);  // outside: no toggle
  EXPECT_FALSE(check->state() & kVwStateChecked);
  check->ModifyState(kVwStateDisabled, 0);
  Send(check, kVwMsgLButtonUp, 10, 10);
  EXPECT_FALSE(check->state() & kVwStateChecked);

  Send(root->FindChildById(3), kVwMsgLButtonUp, 10, 70);
  EXPECT_FALSE(root->FindChildById(2)->state() & kVwStateChecked);
  EXPECT_TRUE(root->FindChildById(3)->state() & kVwStateChecked);
  Send(root->FindChildById(4), kVwMsgLButtonUp, 10, 100);
  EXPECT_FALSE(root->FindChildById(3)->state() & kVwStateChecked);
  EXPECT_TRUE(root->FindChildById(4)->state() & kVwStateChecked);
  // A radio stays checked when clicked again.
  Send(root->FindChildById(4), kVwMsgLButtonUp, 10, 100);
  EXPECT_TRUE(root->FindChildById(4)->state() & kVwStateChecked);
}

TEST_F(Controls, ProgressFractionClampsAndFills) {
  const struct {
    const char* attributes;
    double fraction;
    int filled_width;  // of the 96-pixel inner width (100 wide, deflated by 2)
  } cases[] = {
      {R"(min="0" max="100" value="0")", 0.0, 0},    {R"(min="0" max="100" value="50")", 0.5, 48},
      {R"(min="0" max="100" value="100")", 1.0, 96}, {R"(min="0" max="100" value="150")", 1.0, 96},
      {R"(min="0" max="100" value="-5")", 0.0, 0},   {R"(min="7" max="7" value="7")", 0.0, 0},
      {R"(min="100" max="0" value="25")", 0.25, 24},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.attributes);
    auto root = Build(std::string("<dlg><progress id=\"1\" pos=\"0,0,100,10\" ") + c.attributes + "/></dlg>");
    auto* bar = static_cast<CVwProgress*>(root->FindChildById(1));
    EXPECT_DOUBLE_EQ(bar->Fraction(), c.fraction);
    EXPECT_EQ(bar->FilledRect().width(), c.filled_width);
  }
  // With a fill skin the bar is inset by "skinposx", at most half the width, and centred
  // to the skin's height.
  auto root = Build(R"(<dlg>
      <progress id="1" pos="0,0,100,10" max="100" value="50" posskin="pic3x4" skinposx="10"/>
      <progress id="2" pos="0,20,100,30" max="100" value="100" posskin="pic3x4" skinposx="80"/>
    </dlg>)");
  EXPECT_EQ(static_cast<CVwProgress*>(root->FindChildById(1))->FilledRect(), (VwRect{10, 3, 50, 7}));
  EXPECT_EQ(static_cast<CVwProgress*>(root->FindChildById(2))->FilledRect(), (VwRect{50, 23, 50, 27}));
}

TEST_F(Controls, ProgressPercentTextAndRunTimeValue) {
  auto root = Build(R"(<dlg><progress id="1" pos="0,0,100,10" max="200" value="101" showpercent="1"/></dlg>)");
  RecordingCanvas canvas;
  root->RedrawRegion(canvas);
  ASSERT_EQ(canvas.texts.size(), 2u);  // once whole, once over the filled part
  EXPECT_EQ(canvas.texts[0], L"50%");
  platform_.redraws.clear();
  root->FindChildById(1)->SetAttribute("value", "200", false);
  EXPECT_EQ(platform_.redraws.size(), 1u);
  EXPECT_DOUBLE_EQ(static_cast<CVwProgress*>(root->FindChildById(1))->Fraction(), 1.0);
}

TEST_F(Controls, MarqueeGrowsMovesAndStartsAgain) {
  auto root = Build(R"(<dlg><progress id="1" pos="0,0,64,10" progressbar="1"/></dlg>)");
  auto* bar = static_cast<CVwProgress*>(root->FindChildById(1));
  // Inner span 2..62 (60 pixels).
  const VwRect expected[] = {{2, 2, 12, 8},  {2, 2, 22, 8},  {2, 2, 32, 8},  {12, 2, 42, 8}, {22, 2, 52, 8},
                             {32, 2, 62, 8}, {42, 2, 62, 8}, {52, 2, 62, 8}, {2, 2, 2, 8},   {2, 2, 12, 8}};
  for (const VwRect& want : expected) EXPECT_EQ(bar->AdvanceMarquee(), want);
}

TEST_F(Controls, ButtonFramesByState) {
  auto root = Build(R"(<dlg>
      <dlgbtnEx2 id="1" pos="0,0,10,10" class="frames_btn"><text id="11" pos="0,0">x</text></dlgbtnEx2>
      <dlgbtn id="2" pos="20,0,30,10" class="frames_btn"/>
      <dlgbtnEx2 id="3" pos="40,0,50,10" class="plain_btn"><text pos="0,0">y</text></dlgbtnEx2>
    </dlg>)");
  const struct {
    unsigned state;
    int ex2_frame;
    int dlgbtn_frame;
  } cases[] = {{0, 0, 0},
               {kVwStateHover, 1, 1},
               {kVwStateHover | kVwStatePushed, 2, 3},
               {kVwStateDisabled, 3, 16}};
  for (const auto& c : cases) {
    root->FindChildById(1)->ModifyState(0, ~0u);
    root->FindChildById(1)->ModifyState(c.state, 0);
    root->FindChildById(2)->ModifyState(0, ~0u);
    root->FindChildById(2)->ModifyState(c.state, 0);
    RecordingCanvas canvas;
    root->RedrawRegion(canvas);
    ASSERT_EQ(canvas.skins.size(), 2u);
    EXPECT_EQ(canvas.skins[0].state, c.ex2_frame) << c.state;
    EXPECT_EQ(canvas.skins[1].state, c.dlgbtn_frame) << c.state;
  }
  // Hits inside the button are the button's own, never its child's.
  EXPECT_EQ(root->HitTest(3, 3, 0), root->FindChildById(1)->handle());
  // Without a skin only the children paint.
  RecordingCanvas canvas;
  root->FindChildById(3)->RedrawRegion(canvas);
  EXPECT_TRUE(canvas.skins.empty());
  EXPECT_EQ(canvas.texts, std::vector<std::wstring>{L"y"});
}

TEST_F(Controls, RealWindowFollowsItsElement) {
  auto root = Build(R"(<dlg>
      <realwnd id="106" pos="10,20,-10,40"/>
      <dlg id="5" show="0"><realwnd id="107" pos="0,0,10,10"/></dlg>
    </dlg>)");
  ASSERT_EQ(platform_.placed.size(), 2u);
  EXPECT_EQ(platform_.placed[0].first, 106);
  EXPECT_EQ(platform_.placed[0].second, (VwRect{10, 20, 390, 40}));
  // The same layout again moves nothing.
  platform_.placed.clear();
  root->RepositionChildren();
  EXPECT_TRUE(platform_.placed.empty());

  // Shown itself inside a hidden dialog: the real window stays hidden.
  intptr_t result = 0;
  root->FindChildById(107)->ProcessMessage(kVwMsgShow, 1, 0, &result);
  ASSERT_FALSE(platform_.shown.empty());
  EXPECT_EQ(platform_.shown.back(), std::make_pair(107, false));
  root->FindChildById(5)->ProcessMessage(kVwMsgShow, 1, 0, &result);
  EXPECT_EQ(platform_.shown.back(), std::make_pair(107, true));
  // Destroyed: hidden, not destroyed.
  platform_.shown.clear();
  root->RemoveChildById(106, true);
  EXPECT_EQ(platform_.shown, (std::vector<std::pair<int, bool>>{{106, false}}));
}

TEST_F(Controls, TabsSliderAndListAskOrScroll) {
  auto root = Build(R"(<dlg>
      <tabctrl id="1" pos="0,0,200,100" tabwidth="50" tabheight="20">
        <tab title="one"><text id="11" pos="0,0,-0,-0"/></tab>
        <tab title="two"><text id="12" pos="0,0,-0,-0"/></tab>
      </tabctrl>
      <slider id="2" pos="0,120,100,130"/>
      <listwnd id="3" pos="0,150,100,190" wheelmove="15">
        <listitem height="20"/><listitem height="20"/><listitem height="20"/>
        <listscrollbar id="31" barwidth="4"/>
      </listwnd>
    </dlg>)");
  auto* tabs = static_cast<CVwTabCtrl*>(root->FindChildById(1));
  EXPECT_EQ(root->FindChildById(11)->rect(), (VwRect{0, 20, 200, 100}));
  EXPECT_TRUE(root->FindChildById(12)->IsVisibleInTree() == false);
  platform_.veto = true;
  Send(tabs, kVwMsgLButtonUp, 70, 10);
  EXPECT_EQ(tabs->current_selection(), 0);
  platform_.veto = false;
  Send(tabs, kVwMsgLButtonUp, 70, 10);
  EXPECT_EQ(tabs->current_selection(), 1);
  EXPECT_TRUE(root->FindChildById(12)->IsVisibleInTree());
  EXPECT_FALSE(root->FindChildById(11)->IsVisibleInTree());
  ASSERT_EQ(platform_.vetoable.size(), 2u);
  EXPECT_EQ(platform_.vetoable[0].code, 5);
  EXPECT_EQ(platform_.vetoable[0].new_value, 1);

  auto* slider = static_cast<VwSlider*>(root->FindChildById(2));
  platform_.vetoable.clear();
  Send(slider, kVwMsgLButtonDown, 30, 125);
  EXPECT_EQ(slider->position_value(), 30);
  platform_.veto = true;
  Send(slider, kVwMsgLButtonUp, 80, 125);
  EXPECT_EQ(slider->position_value(), 30);
  ASSERT_EQ(platform_.vetoable.size(), 2u);
  EXPECT_EQ(platform_.vetoable[0].code, 11);
  EXPECT_EQ(platform_.vetoable[1].code, 12);
  platform_.veto = false;

  auto* list = static_cast<CVwListWnd*>(root->FindChildById(3));
  EXPECT_EQ(list->content_height(), 60);
  EXPECT_EQ(root->FindChildById(31)->rect(), (VwRect{96, 150, 100, 190}));
  intptr_t result = 0;
  list->ProcessMessage(kVwMsgMouseWheel, static_cast<uintptr_t>(static_cast<uint16_t>(-120)) << 16, 0, &result);
  EXPECT_EQ(list->scroll_offset(), 15);
  list->ScrollTo(1000);
  EXPECT_EQ(list->scroll_offset(), 20);
  EXPECT_EQ(list->child(0)->rect().top, 130);
}

TEST_F(Controls, NinePartsCutByMargins) {
  VwNinePart parts[9];
  EXPECT_EQ(NineParts({0, 0, 100, 50}, {30, 30}, 10, 10, 10, 10, parts), 9);
  EXPECT_EQ(parts[4].dst, (VwRect{10, 10, 90, 40}));
  EXPECT_EQ(parts[4].src, (VwRect{10, 10, 20, 20}));
  EXPECT_EQ(parts[8].dst, (VwRect{90, 40, 100, 50}));
  // Margins larger than the picture are cut down; no part reads outside it.
  const int count = NineParts({0, 0, 100, 50}, {30, 30}, 40, 0, 40, 0, parts);
  for (int i = 0; i < count; ++i) {
    EXPECT_GE(parts[i].src.left, 0);
    EXPECT_LE(parts[i].src.right, 30);
  }
  EXPECT_EQ(NineParts({0, 0, 0, 0}, {30, 30}, 1, 1, 1, 1, parts), 0);
}

}  // namespace
}  // namespace kbase

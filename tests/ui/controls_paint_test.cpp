// The control catalogue painting into a 32-bit back buffer under Wine, read back pixel
// by pixel: the skin frame each button state shows, progress fractions and the marquee,
// check and radio boxes, link hover colours, "realwnd" moving a real child window, image
// files, rotated and clipped skins, tab pages, the slider thumb and list rows; the tab
// and slider notifications reach the host window as WM_NOTIFY, where it may refuse them.
#include <gtest/gtest.h>
#include <tinyxml.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "support/png_writer.h"
#include "support/back_buffer.h"
#include "support/win_test_util.h"
#include "ui/controls/vw_control_creator.h"
#include "ui/controls/vw_list_wnd.h"
#include "ui/controls/vw_slider.h"
#include "ui/controls/vw_tab_ctrl.h"
#include "ui/gdi_owner.h"
#include "ui/vw_bitmap.h"
#include "ui/vw_dialog.h"
#include "ui/vw_gdi_canvas.h"
#include "ui/vw_notify.h"
#include "ui/vw_resource_loader.h"
#include "ui/vw_skin_pool.h"
#include "ui/utf8_text.h"
#include "ui/vw_style_table.h"
#include "ui/vw_win32_platform.h"
#include "ui/window_class.h"

namespace kbase {
namespace {

constexpr uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kYellow = 0xFFFF00, kGrey = 0x808080;
constexpr uint32_t kPlainFill = 0x426190;  // red 66, green 97, blue 144

std::vector<VwNotifyRealWndMoved> g_moved;

// What the host heard of tabs and sliders, and the codes it refuses.
struct Heard {
  UINT code;
  int id, value1, value2;
  bool operator==(const Heard& other) const {
    return code == other.code && id == other.id && value1 == other.value1 && value2 == other.value2;
  }
};
std::vector<Heard> g_heard;
std::vector<UINT> g_veto_codes;

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NOTIFY) {
    NMHDR* header = reinterpret_cast<NMHDR*>(lparam);
    switch (header->code) {
      case kVwNotifyRealWndMoved:
        g_moved.push_back(*reinterpret_cast<const VwNotifyRealWndMoved*>(lparam));
        break;
      case kVwNotifyTabChanging:
      case kVwNotifySliderChanging:
      case kVwNotifySliderChanging2: {
        auto* change = reinterpret_cast<VwNotifyVetoableChange*>(lparam);
        g_heard.push_back({header->code, change->id, change->old_value, change->new_value});
        for (UINT code : g_veto_codes) change->veto |= code == header->code ? 1 : 0;
        break;
      }
      case kVwNotifyTabItemEvent: {
        const auto* values = reinterpret_cast<const VwNotifyTwoValues*>(lparam);
        g_heard.push_back({header->code, values->id, values->value1, values->value2});
        break;
      }
      default:
        break;
    }
    return 0;
  }
  return ::DefWindowProcW(window, message, wparam, lparam);
}

using test::BackBuffer;

class ControlsPaint : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    RegisterWindowClassOnce(L"KinstControlsHost", HostProc);
  }
  void SetUp() override {
    VwWin32Platform::Install();
    host_ = ::CreateWindowExW(0, L"KinstControlsHost", L"host", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr,
                              ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(host_, nullptr);
    folder_ = std::make_unique<test::TempFolder>();
    auto write = [&](const wchar_t* name, const std::string& png) {
      ASSERT_TRUE(test::WriteWholeFile(folder_->File(name), png));
    };
    write(L"100.png", test::FramesPng(10, 10, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF}));
    write(L"101.png", test::FramesPng(10, 10, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00}));
    write(L"102.png", test::FramesPng(3, 3, {0xFF808080}));
    write(L"103.png", test::FramesPng(3, 3, {0xFF0000FF}));
    write(L"104.png", test::FramesPng(12, 12, {0xFFFF0000}));
    write(L"105.png", test::FramesPng(12, 12, {0xFF00FF00}));
    // Left half red, right half green: shows which way a picture was turned.
    write(L"106.png", test::FramesPng(10, 20, {0xFFFF0000, 0xFF00FF00}));
    write(L"107.png", test::FramesPng(40, 40, {0xFFFF0000}));
    VwResourceLoader::Instance().SetResourceFolder(folder_->path());
    VwResourceLoader::Instance().ClearImageCache();
    VwSkinPool::Instance().Clear();
    VwSkinPool::Instance().LoadFromText(R"(<skins>
        <png name="three" src="100" subwidth="10"/>
        <png name="four" src="101" subwidth="10"/>
        <png name="progressbg" src="102"/>
        <png name="progresspos" src="103"/>
        <png name="box" src="104"/>
        <png name="box_checked" src="105"/>
        <png name="halves" src="106"/>
        <png name="square" src="107"/>
      </skins>)");
    VwStyleTable::Instance().Clear();
    VwStyleTable::Instance().LoadFromText(R"(<style>
        <class name="btn3" skin="three"/>
        <class name="btn4" skin="four"/>
        <class name="linkstyle" crtext="FF0000" crhover="0000FF" textmode="24"/>
      </style>)");
    g_moved.clear();
    g_heard.clear();
    g_veto_codes.clear();
  }
  void TearDown() override {
    root_.reset();
    ::DestroyWindow(host_);
    InstallVwPlatform(nullptr);
    VwStyleTable::Instance().Clear();
    VwSkinPool::Instance().Clear();
    VwResourceLoader::Instance().ClearImageCache();
    VwResourceLoader::Instance().SetResourceFolder(L"");
  }
  CVwDialog* Load(const char* xml) {
    TiXmlDocument document;
    document.Parse(xml, nullptr, TIXML_ENCODING_UTF8);
    EXPECT_FALSE(document.Error());
    root_ = std::make_unique<CVwDialog>();
    root_->set_control_creator(&creator_);
    root_->SetContainer(host_);
    root_->Load(*document.RootElement());
    root_->SetAttribute("pos", "0,0,-0,-0", true);
    LayoutPlacement placement{0, 0, 300, 200};
    intptr_t result = 0;
    root_->ProcessMessage(kVwMsgPositionChanged, 0, reinterpret_cast<intptr_t>(&placement), &result);
    return root_.get();
  }
  // Paints the whole tree into a fresh buffer.
  std::unique_ptr<BackBuffer> Paint() {
    auto buffer = std::make_unique<BackBuffer>(300, 200);
    VwGdiCanvas canvas(buffer->dc(), nullptr);
    root_->RedrawRegion(canvas);
    return buffer;
  }
  static void Mouse(CVwWindow* element, unsigned message, int x, int y) {
    VwPoint point{x, y};
    intptr_t result = 0;
    element->ProcessMessage(message, 0, reinterpret_cast<intptr_t>(&point), &result);
  }
  static void Release(CVwWindow* element, int x, int y) { Mouse(element, kVwMsgLButtonUp, x, y); }

  HWND host_ = nullptr;
  std::unique_ptr<test::TempFolder> folder_;
  CVwControlCreator creator_;
  std::unique_ptr<CVwDialog> root_;
};

TEST_F(ControlsPaint, ButtonStatesPickTheirFrames) {
  CVwDialog* root = Load(R"(<dlg>
      <imgbtn id="1" pos="0,0" skin="four"/>
      <dlgbtn id="2" pos="20,0,30,10" class="btn3"/>
      <dlgbtnEx2 id="3" pos="40,0,50,10" class="btn4"/>
      <imgbtn id="4" pos="60,0" skin="three" group="g"/>
      <imgbtn id="5" pos="80,0" skin="three" group="g"/>
    </dlg>)");
  EXPECT_EQ(root->FindChildById(1)->rect(), (VwRect{0, 0, 10, 10})) << "natural size is the frame";
  const struct {
    unsigned state;
    uint32_t imgbtn, dlgbtn, ex2;
  } cases[] = {
      {0, kRed, kRed, kRed},
      {kVwStateHover, kGreen, kGreen, kGreen},
      {kVwStateHover | kVwStatePushed, kBlue, kRed, kBlue},  // dlgbtn: raw bits 3, frame 0
      {kVwStateDisabled, kYellow, kGreen, kYellow},          // dlgbtn: 16 mod 3 = 1
  };
  for (const auto& c : cases) {
    for (int id : {1, 2, 3}) {
      root->FindChildById(id)->ModifyState(0, ~0u);
      root->FindChildById(id)->ModifyState(c.state, 0);
    }
    auto buffer = Paint();
    EXPECT_EQ(buffer->At(5, 5), c.imgbtn) << c.state;
    EXPECT_EQ(buffer->At(25, 5), c.dlgbtn) << c.state;
    EXPECT_EQ(buffer->At(45, 5), c.ex2) << c.state;
  }
  // A group member that is checked shows frame 2; the others keep 0 (1 when hovered).
  Release(root->FindChildById(4), 65, 5);
  root->FindChildById(5)->ModifyState(kVwStateHover, 0);
  auto buffer = Paint();
  EXPECT_EQ(buffer->At(65, 5), kBlue);
  EXPECT_EQ(buffer->At(85, 5), kGreen);
}

TEST_F(ControlsPaint, ProgressFillsItsFraction) {
  const struct {
    const char* value;
    int blue_columns;
  } cases[] = {{"0", 0}, {"50", 50}, {"100", 100}, {"150", 100}, {"-5", 0}};
  for (const auto& c : cases) {
    const std::string xml = std::string(R"(<dlg>
        <progress id="1" pos="0,0,100,3" min="0" max="100" bgskin="progressbg" posskin="progresspos" skinposx="0" value=")") +
                            c.value + R"("/>
        <progress id="2" pos="0,10,104,20" min="0" max="100" value=")" + c.value + R"("/>
      </dlg>)";
    Load(xml.c_str());
    EXPECT_EQ(root_->FindChildById(1)->rect(), (VwRect{0, 0, 100, 3}));
    auto buffer = Paint();
    EXPECT_EQ(buffer->CountRow(1, 0, 100, kBlue), c.blue_columns) << c.value;
    EXPECT_EQ(buffer->CountRow(1, 0, 100, kGrey), 100 - c.blue_columns) << c.value;
    // Without skins: the 100-pixel inner span of the plain bar.
    const int plain = buffer->CountRow(15, 0, 104, kPlainFill);
    EXPECT_NEAR(plain, c.blue_columns, 2) << c.value;
  }
}

TEST_F(ControlsPaint, MarqueeBlockMovesOnePaintAtATime) {
  Load(R"(<dlg><progress id="1" pos="0,0,104,10" progressbar="1"/></dlg>)");
  // Inner span 2..102: the block grows to 30 pixels, then moves right by 10 a paint.
  const struct {
    int left, right;
  } expected[] = {{2, 12}, {2, 22}, {2, 32}, {12, 42}, {22, 52}};
  for (const auto& e : expected) {
    auto buffer = Paint();
    int first = -1, last = -1;
    for (int x = 0; x < 104; ++x) {
      if (buffer->At(x, 5) != kPlainFill) continue;
      if (first < 0) first = x;
      last = x;
    }
    EXPECT_NEAR(first, e.left, 1);
    EXPECT_NEAR(last + 1, e.right, 1);
  }
}

TEST_F(ControlsPaint, CheckAndRadioBoxesShowTheCheckedBit) {
  CVwDialog* root = Load(R"(<dlg>
      <check id="1" pos="0,0,100,12" skin="box" skin_check="box_checked"/>
      <radio id="2" pos="0,20,100,32" skin="box" skin_check="box_checked" group="r" check="1"/>
      <radio id="3" pos="0,40,100,52" skin="box" skin_check="box_checked" group="r"/>
    </dlg>)");
  auto before = Paint();
  EXPECT_EQ(before->At(6, 6), kRed);
  EXPECT_EQ(before->At(6, 26), kGreen);
  EXPECT_EQ(before->At(6, 46), kRed);
  Release(root->FindChildById(1), 50, 6);
  Release(root->FindChildById(3), 50, 46);
  auto after = Paint();
  EXPECT_EQ(after->At(6, 6), kGreen);
  EXPECT_EQ(after->At(6, 26), kRed) << "the group keeps one checked member";
  EXPECT_EQ(after->At(6, 46), kGreen);
}

TEST_F(ControlsPaint, LinkHoverColour) {
  CVwDialog* root = Load(R"(<dlg><link id="1" pos="0,0,120,20" class="linkstyle" href="https://example.invalid/">WWWWWW</link></dlg>)");
  CVwWindow* link = root->FindChildById(1);
  EXPECT_TRUE(link->NeedRedrawWhenStateChange());
  auto count = [](const BackBuffer& buffer, uint32_t colour) {
    int n = 0;
    for (int y = 0; y < 20; ++y) n += buffer.CountRow(y, 0, 120, colour);
    return n;
  };
  auto normal = Paint();
  EXPECT_GT(count(*normal, kRed), 0);
  EXPECT_EQ(count(*normal, kBlue), 0);
  link->ModifyState(kVwStateHover, 0);
  auto hovered = Paint();
  EXPECT_EQ(count(*hovered, kRed), 0);
  EXPECT_GT(count(*hovered, kBlue), 0);
}

TEST_F(ControlsPaint, RealWindowIsMovedShownAndHidden) {
  HWND edit = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 0, 0, 5, 5, host_,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(106)), ::GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(edit, nullptr);
  HWND hidden_edit = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 0, 0, 5, 5, host_,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(107)), ::GetModuleHandleW(nullptr),
                                       nullptr);
  CVwDialog* root = Load(R"(<dlg>
      <realwnd id="106" ctrlid="106" pos="10,20,-10,40"/>
      <dlg id="5" show="0" pos="0,0,-0,-0"><realwnd id="107" pos="0,50,100,70"/></dlg>
      <realwnd id="999" pos="0,0,10,10"/>
    </dlg>)");
  RECT placed{};
  ::GetWindowRect(edit, &placed);
  ::MapWindowPoints(nullptr, host_, reinterpret_cast<POINT*>(&placed), 2);
  EXPECT_EQ(placed.left, 10);
  EXPECT_EQ(placed.top, 20);
  EXPECT_EQ(placed.right, 290);
  EXPECT_EQ(placed.bottom, 40);
  // One code 2 per real window that exists; id 999 has none.
  ASSERT_EQ(g_moved.size(), 2u);
  EXPECT_EQ(g_moved[0].id, 106);
  EXPECT_EQ(g_moved[0].rect.right, 290);
  EXPECT_EQ(g_moved[0].header.hwndFrom, host_);

  // Shown by the dialog while its container is hidden: stays hidden.
  intptr_t result = 0;
  root->FindChildById(107)->ProcessMessage(kVwMsgShow, 1, 0, &result);
  EXPECT_FALSE(::GetWindowLongPtrW(hidden_edit, GWL_STYLE) & WS_VISIBLE);
  root->FindChildById(5)->ProcessMessage(kVwMsgShow, 1, 0, &result);
  EXPECT_TRUE(::GetWindowLongPtrW(hidden_edit, GWL_STYLE) & WS_VISIBLE);
  // Removing the element hides the real window but leaves it to its owner.
  root->RemoveChildById(106, true);
  EXPECT_TRUE(::IsWindow(edit));
  EXPECT_FALSE(::GetWindowLongPtrW(edit, GWL_STYLE) & WS_VISIBLE);
}

// Red channel of a pixel that should be red at some opacity over black, else -1.
int RedOnly(uint32_t pixel) { return (pixel & 0x00FFFF) == 0 ? static_cast<int>(pixel >> 16) : -1; }

TEST_F(ControlsPaint, StorageImageDecodesItsFileAtEveryPaint) {
  ASSERT_TRUE(test::WriteWholeFile(folder_->File(L"frames.png"), test::FramesPng(10, 10, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF})));
  ASSERT_TRUE(test::WriteWholeFile(folder_->File(L"one.png"), test::FramesPng(20, 20, {0xFFFF0000})));
  ASSERT_TRUE(test::WriteWholeFile(folder_->File(L"rel.png"), test::FramesPng(7, 5, {0xFF0000FF})));
  // A relative "filepath" is resolved against the current directory.
  wchar_t previous[MAX_PATH] = {};
  ASSERT_NE(::GetCurrentDirectoryW(MAX_PATH, previous), 0u);
  ASSERT_TRUE(::SetCurrentDirectoryW(folder_->path().c_str()));
  const std::string folder = Utf8FromWide(folder_->path());
  const std::string xml = R"(<dlg>
      <storageimage id="1" pos="0,0" filepath=")" + folder + R"(frames.png" subwidth="10" sub="4"/>
      <storageimage id="2" pos="20,0,80,20" filepath=")" + folder + R"(frames.png"/>
      <storageimage id="3" pos="100,0" filepath="rel.png"/>
      <storageimage id="4" pos="150,0,170,20" filepath=")" + folder + R"(missing.png"/>
      <storageimageex id="5" pos="200,0,220,20" filepath=")" + folder + R"(one.png" alpha="128"/>
    </dlg>)";
  CVwDialog* root = Load(xml.c_str());
  EXPECT_EQ(root->FindChildById(1)->rect(), (VwRect{0, 0, 10, 10})) << "one frame of \"subwidth\"";
  EXPECT_EQ(root->FindChildById(3)->rect(), (VwRect{100, 0, 107, 5}));
  EXPECT_EQ(root->FindChildById(4)->rect(), (VwRect{150, 0, 170, 20}));
  auto buffer = Paint();
  ::SetCurrentDirectoryW(previous);
  EXPECT_EQ(buffer->At(5, 5), kGreen) << "frame 4 mod 3";
  // The whole 30 x 10 picture stretched to 60 x 20: thirds of 20 pixels.
  EXPECT_EQ(buffer->At(30, 10), kRed);
  EXPECT_EQ(buffer->At(50, 10), kGreen);
  EXPECT_EQ(buffer->At(70, 10), kBlue);
  EXPECT_EQ(buffer->At(103, 2), kBlue);
  EXPECT_EQ(buffer->At(160, 10), 0u) << "a missing file draws nothing";
  EXPECT_NEAR(RedOnly(buffer->At(210, 10)), 128, 8) << std::hex << buffer->At(210, 10);

  // Nothing keeps the file: it can be replaced between paints and the new picture shows.
  ASSERT_TRUE(test::WriteWholeFile(folder_->File(L"frames.png"), test::FramesPng(10, 10, {0xFF0000FF, 0xFFFFFF00, 0xFFFF0000})));
  auto again = Paint();
  EXPECT_EQ(again->At(5, 5), kYellow);
  EXPECT_EQ(again->At(30, 10), kBlue);
}

TEST_F(ControlsPaint, RotatedAndClippedSkins) {
  // "halves" is red on the left, green on the right; turned clockwise by the angle.
  CVwDialog* root = Load(R"(<dlg>
      <imgrotale id="1" pos="0,0,20,20" skin="halves" angle="0"/>
      <imgrotale id="2" pos="30,0,50,20" skin="halves" angle="90"/>
      <imgrotale id="3" pos="60,0,80,20" skin="halves" angle="180"/>
      <imgrotale id="4" pos="90,0,110,20" skin="halves" angle="-90"/>
      <img id="11" pos="0,50,40,90" skin="square" cliptype="1"/>
      <img id="12" pos="50,50,90,90" skin="square" cliptype="2"/>
      <img id="13" pos="100,50,140,90" skin="square" cliptype="3" clipparam="10,0,40,0,0,40"/>
      <img id="14" pos="150,50,190,90" skin="square"/>
      <img id="15" pos="200,50,240,90" skin="square" cliptype="1" alpha="50"/>
    </dlg>)");
  ASSERT_NE(root, nullptr);
  auto buffer = Paint();
  const struct {
    int left;
    uint32_t top_left, top_right, bottom_left, bottom_right;
  } turned[] = {
      {0, kRed, kGreen, kRed, kGreen},
      {30, kRed, kRed, kGreen, kGreen},
      {60, kGreen, kRed, kGreen, kRed},
      {90, kGreen, kGreen, kRed, kRed},
  };
  for (const auto& t : turned) {
    EXPECT_EQ(buffer->At(t.left + 5, 5), t.top_left) << t.left;
    EXPECT_EQ(buffer->At(t.left + 15, 5), t.top_right) << t.left;
    EXPECT_EQ(buffer->At(t.left + 5, 15), t.bottom_left) << t.left;
    EXPECT_EQ(buffer->At(t.left + 15, 15), t.bottom_right) << t.left;
  }
  // A 40 x 40 red square: near a corner, the centre and the far corner tell the shapes
  // apart (the rounded rectangle's corners have a radius of 10).
  const struct {
    int left;
    const char* shape;
    uint32_t near_corner, centre, far_corner;
  } clipped[] = {
      {0, "ellipse", 0, kRed, 0},
      {50, "rounded", kRed, kRed, 0},
      {100, "parallelogram", 0, kRed, 0},
      {150, "none", kRed, kRed, kRed},
  };
  for (const auto& c : clipped) {
    EXPECT_EQ(buffer->At(c.left + 4, 54), c.near_corner) << c.shape;
    EXPECT_EQ(buffer->At(c.left + 20, 70), c.centre) << c.shape;
    EXPECT_EQ(buffer->At(c.left + 39, 89), c.far_corner) << c.shape;
  }
  EXPECT_NEAR(RedOnly(buffer->At(220, 70)), 128, 8) << "alpha 50 percent: " << std::hex << buffer->At(220, 70);
  EXPECT_EQ(buffer->At(204, 54), 0u);
}

TEST_F(ControlsPaint, TabChangeIsAskedAndMayBeRefused) {
  // Tab "C" is hidden and takes no place in the strip; pages fill the frame below it.
  const char* layout = R"(<dlg>
      <tabctrl id="1" pos="0,0,200,100" tabwidth="50" tabheight="20" cursel="%d">
        <tab id="11" title="A"><img pos="0,0" skin="box"/></tab>
        <tab id="12" title="B"><img pos="0,0" skin="box_checked"/></tab>
        <tab id="13" title="C" hide="1"><img pos="0,0" skin="square"/></tab>
      </tabctrl>
    </dlg>)";
  char xml[1024];
  std::snprintf(xml, sizeof xml, layout, 1);
  Load(xml);
  EXPECT_EQ(Paint()->At(5, 25), kGreen) << "\"cursel\" selects the page shown first";

  std::snprintf(xml, sizeof xml, layout, 0);
  CVwDialog* root = Load(xml);
  auto* tabs = dynamic_cast<CVwTabCtrl*>(root->FindChildById(1));
  ASSERT_NE(tabs, nullptr);
  EXPECT_EQ(tabs->tab(1)->rect(), (VwRect{0, 20, 200, 100}));
  EXPECT_TRUE(tabs->HeaderRect(2).empty());
  const Heard press_b{kVwNotifyTabItemEvent, 1, 1, static_cast<int>(kVwMsgLButtonDown)};
  const Heard release_b{kVwNotifyTabItemEvent, 1, 1, static_cast<int>(kVwMsgLButtonUp)};
  const Heard change_a_b{kVwNotifyTabChanging, 1, 0, 1};
  const struct {
    const char* name;
    bool veto;
    int x;
    std::vector<Heard> heard;
    int selection;
    uint32_t page_pixel;
  } steps[] = {
      {"refused", true, 75, {press_b, release_b, change_a_b}, 0, kRed},
      {"allowed", false, 75, {press_b, release_b, change_a_b}, 1, kGreen},
      {"same tab", false, 75, {press_b, release_b}, 1, kGreen},
      {"hidden tab's place", false, 125, {}, 1, kGreen},
  };
  for (const auto& step : steps) {
    g_heard.clear();
    g_veto_codes.clear();
    if (step.veto) g_veto_codes.push_back(kVwNotifyTabChanging);
    Mouse(tabs, kVwMsgLButtonDown, step.x, 10);
    Mouse(tabs, kVwMsgLButtonUp, step.x, 10);
    EXPECT_EQ(g_heard, step.heard) << step.name;
    EXPECT_EQ(tabs->current_selection(), step.selection) << step.name;
    EXPECT_EQ(tabs->tab(0)->hidden(), step.selection != 0) << step.name;
    EXPECT_EQ(tabs->tab(1)->hidden(), step.selection != 1) << step.name;
    EXPECT_TRUE(tabs->tab(2)->hidden()) << step.name;
    EXPECT_EQ(Paint()->At(5, 25), step.page_pixel) << step.name;
  }
}

TEST_F(ControlsPaint, SliderThumbFollowsTheValue) {
  // Track 5..105 (margins 5); the 10 x 10 thumb "three" is centred on the position.
  const struct {
    const char* position;
    int thumb_left;
  } cases[] = {{"0", 0}, {"37", 37}, {"50", 50}, {"100", 100}, {"250", 100}};
  for (const auto& c : cases) {
    const std::string xml = std::string(R"(<dlg><slider id="2" pos="0,0,110,20" bgleftmargin="5" bgrightmargin="5" skin="three" sliderpos=")") +
                            c.position + R"("/></dlg>)";
    Load(xml.c_str());
    auto buffer = Paint();
    int first = -1;
    for (int x = 0; x < 110 && first < 0; ++x) first = buffer->At(x, 10) == kRed ? x : -1;
    EXPECT_EQ(first, c.thumb_left) << c.position;
    EXPECT_EQ(buffer->CountRow(10, 0, 110, kRed), 10) << c.position;
    EXPECT_EQ(buffer->At(c.thumb_left < 50 ? 80 : 20, 10), 0xCCCCCCu) << "the plain track, " << c.position;
  }
}

TEST_F(ControlsPaint, SliderChangesAreAskedAndMayBeRefused) {
  CVwDialog* root = Load(R"(<dlg><slider id="2" pos="0,0,110,20" bgleftmargin="5" bgrightmargin="5" skin="three" sliderpos="50"/></dlg>)");
  auto* slider = dynamic_cast<VwSlider*>(root->FindChildById(2));
  ASSERT_NE(slider, nullptr);
  // Each step: the host refuses `veto` (0 none); x is the track's 0..100 plus 5.
  const struct {
    const char* name;
    unsigned message;
    int x;
    UINT veto;
    Heard heard;
    int value;
  } steps[] = {
      {"press refused", kVwMsgLButtonDown, 85, kVwNotifySliderChanging, {kVwNotifySliderChanging, 2, 50, 80}, 50},
      {"press", kVwMsgLButtonDown, 85, 0, {kVwNotifySliderChanging, 2, 50, 80}, 80},
      {"drag", kVwMsgMouseMove, 25, 0, {kVwNotifySliderChanging, 2, 80, 20}, 20},
      {"release refused", kVwMsgLButtonUp, 95, kVwNotifySliderChanging2, {kVwNotifySliderChanging2, 2, 20, 90}, 20},
  };
  slider->ModifyState(kVwStatePushed, 0);  // the host marks the pressed element
  for (const auto& step : steps) {
    g_heard.clear();
    g_veto_codes.assign(1, step.veto);
    Mouse(slider, step.message, step.x, 10);
    ASSERT_EQ(g_heard.size(), 1u) << step.name;
    EXPECT_EQ(g_heard[0], step.heard) << step.name;
    EXPECT_EQ(slider->position_value(), step.value) << step.name;
  }
  // A release at the current value asks nothing; a move after the release drags nothing.
  g_heard.clear();
  Mouse(slider, kVwMsgLButtonDown, 25, 10);
  Mouse(slider, kVwMsgLButtonUp, 25, 10);
  Mouse(slider, kVwMsgMouseMove, 60, 10);
  EXPECT_TRUE(g_heard.empty());
  slider->ModifyState(0, ~0u);
  EXPECT_EQ(Paint()->At(25, 10), kRed) << "the thumb sits at 20";
}

TEST_F(ControlsPaint, ListRowsStackAndScroll) {
  CVwDialog* root = Load(R"(<dlg><listwnd id="3" pos="0,0,100,50" externline="5" wheelmove="30">
      <listitem id="31" height="20" crbg="FF0000"/>
      <listitem id="32" height="20" crbg="FFFF00" viewvisible="0"/>
      <listitem id="33" height="20" crbg="00FF00"/>
      <listitem id="34" height="20" crbg="0000FF"/>
    </listwnd></dlg>)");
  auto* list = dynamic_cast<CVwListWnd*>(root->FindChildById(3));
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->content_height(), 70) << "three rows and two gaps";
  EXPECT_EQ(root->FindChildById(33)->rect(), (VwRect{0, 25, 100, 45}));
  const struct {
    int y;
    uint32_t at_top, scrolled;  // scrolled: one wheel notch of 30, kept at 70 - 50 = 20
  } rows[] = {
      {2, kRed, 0}, {7, kRed, kGreen}, {12, kRed, kGreen}, {22, 0, kGreen}, {27, kGreen, 0},
      {32, kGreen, kBlue}, {40, kGreen, kBlue}, {47, 0, kBlue}, {52, 0, 0},  // below the list: clipped
  };
  auto top = Paint();
  intptr_t result = 0;
  list->ProcessMessage(kVwMsgMouseWheel, static_cast<uintptr_t>(static_cast<uint16_t>(-120)) << 16, 0, &result);
  EXPECT_EQ(list->scroll_offset(), 20);
  auto scrolled = Paint();
  for (const auto& row : rows) {
    EXPECT_EQ(top->At(50, row.y), row.at_top) << row.y;
    EXPECT_EQ(scrolled->At(50, row.y), row.scrolled) << row.y;
  }
  EXPECT_FALSE(std::any_of(rows, rows + 9, [&](const auto& row) { return top->At(50, row.y) == kYellow; }))
      << "a row left out of the view is not painted";
}

}  // namespace
}  // namespace kbase

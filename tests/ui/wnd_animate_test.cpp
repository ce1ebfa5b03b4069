// The window animation under Wine: frames per kind and effect, the messages that reach
// the dialog, the overlay's place, the alpha of the painted frames, stopping and
// replacing runs, and the rounded corners of CWndAnimate.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "ui/lite_wnd_animate.h"
#include "ui/wnd_animate.h"
#include "ui/window_class.h"

namespace kbase {
namespace {

constexpr COLORREF kDialogColour = RGB(0x20, 0x40, 0x80);

// A plain top-level window standing in for a dialog: it prints itself in one colour and
// notes the animation's messages, with whether it was visible when each came.
class TestDialog {
 public:
  struct Note {
    UINT message;
    DWORD tick;
    bool visible;
  };

  TestDialog(int x, int y, int width, int height, bool visible) {
    RegisterWindowClassOnce(L"KinstAnimateTestDialog", Procedure);
    window_ = CreateWindowExW(WS_EX_TOOLWINDOW, L"KinstAnimateTestDialog", L"dialog", WS_POPUP, x, y, width, height,
                              nullptr, nullptr, GetModuleHandleW(nullptr), this);
    if (visible) ShowWindow(window_, SW_SHOWNOACTIVATE);
  }
  ~TestDialog() {
    if (IsWindow(window_)) DestroyWindow(window_);
  }
  HWND get() const { return window_; }
  const std::vector<Note>& notes() const { return notes_; }
  int Count(UINT message) const {
    int count = 0;
    for (const Note& note : notes_) count += note.message == message;
    return count;
  }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
      SetWindowLongPtrW(window, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams));
    }
    auto* self = reinterpret_cast<TestDialog*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
      case WM_PRINT: {
        RECT bounds;
        GetWindowRect(window, &bounds);
        RECT all = {0, 0, bounds.right - bounds.left, bounds.bottom - bounds.top};
        HBRUSH brush = CreateSolidBrush(kDialogColour);
        FillRect(reinterpret_cast<HDC>(wparam), &all, brush);
        DeleteObject(brush);
        return 0;
      }
      case CLiteWndAnimate::kShowDialogMessage:
      case CLiteWndAnimate::kEndDialogMessage:
        if (self != nullptr) self->notes_.push_back({message, GetTickCount(), IsWindowVisible(window) != FALSE});
        if (message == CLiteWndAnimate::kShowDialogMessage) ShowWindow(window, SW_SHOWNOACTIVATE);
        return 0;
      default:
        return DefWindowProcW(window, message, wparam, lparam);
    }
  }

  HWND window_ = nullptr;
  std::vector<Note> notes_;
};

// Dispatches this thread's messages until done() holds or the time is up.
bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds) {
  const DWORD start = GetTickCount();
  for (;;) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    if (done()) return true;
    const DWORD elapsed = GetTickCount() - start;
    if (elapsed >= milliseconds) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(10, milliseconds - elapsed), QS_ALLINPUT);
  }
}

void Pump(DWORD milliseconds) {
  PumpUntil([] { return false; }, milliseconds);
}

BYTE Alpha(uint32_t pixel) { return static_cast<BYTE>(pixel >> 24); }

// The overlay's centre pixel carries the dialog's colour at the frame's constant alpha
// (premultiplied).
void ExpectCentreAlpha(const CLiteWndAnimate& animate, int alpha) {
  const OverlayGeometry& g = animate.geometry();
  const uint32_t pixel = animate.FramePixel(g.overlay.width() / 2, g.overlay.height() / 2);
  EXPECT_EQ(Alpha(pixel), alpha);
  EXPECT_NEAR(static_cast<int>(pixel & 0xFF), GetBValue(kDialogColour) * alpha / 255, 1);
  EXPECT_NEAR(static_cast<int>((pixel >> 16) & 0xFF), GetRValue(kDialogColour) * alpha / 255, 1);
}

TEST(WndAnimate, OpenRunShowsTheDialogAtItsLastFrame) {
  TestDialog dialog(300, 200, 200, 100, false);
  CLiteWndAnimate animate;
  const DWORD start = GetTickCount();
  ASSERT_EQ(animate.Start(dialog.get(), kAnimateOpen), 1);
  EXPECT_TRUE(animate.running());

  // The overlay: layered, topmost, over the dialog inflated by 4 and then a quarter.
  const HWND overlay = animate.overlay();
  ASSERT_TRUE(IsWindow(overlay));
  RECT placed;
  GetWindowRect(overlay, &placed);
  EXPECT_EQ(placed.left, 300 - 4 - 26);  // 208 wide: a quarter is 52, half of it a side
  EXPECT_EQ(placed.top, 200 - 4 - 13);   // 108 high: 27, 13 a side
  EXPECT_EQ(placed.right, 500 + 4 + 26);
  EXPECT_EQ(placed.bottom, 300 + 4 + 13);
  const LONG_PTR extended = GetWindowLongPtrW(overlay, GWL_EXSTYLE);
  EXPECT_TRUE(extended & WS_EX_LAYERED);
  EXPECT_TRUE(extended & WS_EX_TOPMOST);
  EXPECT_TRUE(IsWindowVisible(overlay));

  ASSERT_TRUE(PumpUntil([&] { return !IsWindow(overlay); }, 3000));
  EXPECT_GE(GetTickCount() - start, 12u * 15 - 20);
  EXPECT_EQ(dialog.Count(CLiteWndAnimate::kShowDialogMessage), 1);
  EXPECT_EQ(dialog.Count(CLiteWndAnimate::kEndDialogMessage), 0);
  EXPECT_EQ(animate.painted_frames(), 12);
  EXPECT_EQ(CLiteWndAnimate::FrameCounter(kAnimateOpen), 12);
  EXPECT_TRUE(IsWindowVisible(dialog.get()));
  EXPECT_EQ(animate.overlay(), nullptr);
  ASSERT_TRUE(PumpUntil([&] { return !animate.running(); }, 1000));
  ExpectCentreAlpha(animate, 240);
}

TEST(WndAnimate, FramesPerEffectAndKind) {
  const struct {
    int effect;
    int open_frames;
    int close_frames;
  } kCases[] = {
      {0, 12, 12}, {1, 10, 8}, {2, 12, 12}, {3, 10, 6},
      {4, 10, 12},  // a close run of effect 4 keeps the constructed close pair
      {5, 16, 16}, {6, 8, 8},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.effect);
    TestDialog dialog(100, 100, 120, 80, true);
    CLiteWndAnimate animate(c.effect, c.effect);

    ASSERT_EQ(animate.Start(dialog.get(), kAnimateOpen), 1);
    ASSERT_TRUE(PumpUntil([&] { return dialog.Count(CLiteWndAnimate::kShowDialogMessage) == 1; }, 3000));
    EXPECT_EQ(animate.painted_frames(), c.open_frames);
    EXPECT_EQ(animate.timing().open_frames, c.open_frames);

    ASSERT_EQ(animate.Start(dialog.get(), kAnimateClose), 1);
    EXPECT_FALSE(IsWindowVisible(dialog.get())) << "the close run hides the dialog at once";
    ASSERT_TRUE(PumpUntil([&] { return dialog.Count(CLiteWndAnimate::kEndDialogMessage) == 1; }, 3000));
    EXPECT_EQ(animate.painted_frames(), c.close_frames);
    EXPECT_EQ(CLiteWndAnimate::FrameCounter(kAnimateClose), c.close_frames);
    EXPECT_EQ(dialog.Count(CLiteWndAnimate::kShowDialogMessage), 1);
    EXPECT_FALSE(dialog.notes().back().visible);
    ASSERT_TRUE(PumpUntil([&] { return animate.overlay() == nullptr; }, 1000));
  }
}

TEST(WndAnimate, CloseRunFadesToFifteen) {
  // Effect 2 keeps the size, so the last frame still covers the centre.
  TestDialog dialog(200, 150, 160, 90, true);
  CLiteWndAnimate animate(2, 2);
  ASSERT_EQ(animate.Start(dialog.get(), kAnimateClose), 1);
  ASSERT_TRUE(PumpUntil([&] { return dialog.Count(CLiteWndAnimate::kEndDialogMessage) == 1; }, 3000));
  ExpectCentreAlpha(animate, 15);

  // Effect 0 shrinks the picture to nothing when both runs have 12 frames.
  CLiteWndAnimate shrinking(0, 0);
  ASSERT_EQ(shrinking.Start(dialog.get(), kAnimateClose), 1);
  ASSERT_TRUE(PumpUntil([&] { return dialog.Count(CLiteWndAnimate::kEndDialogMessage) == 2; }, 3000));
  const OverlayGeometry& g = shrinking.geometry();
  EXPECT_EQ(shrinking.FramePixel(g.overlay.width() / 2, g.overlay.height() / 2), 0u);
}

// Notes where the light band of effect 5 is drawn.
class LightPainter : public IVwSkinPainter {
 public:
  bool GetSkinImageSize(const char* skin, SIZE* size) override {
    if (std::string(skin) != "white_light") return false;
    *size = {60, 200};
    return true;
  }
  void DrawSkinStretch(const char* skin, HDC, const RECT& destination, const RECT& source) override {
    skins.push_back(skin);
    destinations.push_back(destination);
  }
  std::vector<std::string> skins;
  std::vector<RECT> destinations;
};

TEST(WndAnimate, LightSweepsOverTheOpeningDialog) {
  TestDialog dialog(100, 100, 200, 100, false);
  LightPainter painter;
  CLiteWndAnimate animate(5, 5);
  animate.SetSkinPainter(&painter);
  ASSERT_EQ(animate.Start(dialog.get(), kAnimateOpen), 1);
  ASSERT_TRUE(PumpUntil([&] { return !animate.running() && animate.overlay() == nullptr; }, 3000));
  ASSERT_EQ(painter.destinations.size(), 16u);
  for (size_t i = 0; i < painter.destinations.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(painter.skins[i], "white_light");
    const AnimateFrame expected = OpenFrame(5, static_cast<int>(i) + 1, 16, animate.geometry(), 60);
    EXPECT_EQ(painter.destinations[i].left, expected.light_left);
    EXPECT_EQ(painter.destinations[i].right - painter.destinations[i].left, 60);
    EXPECT_EQ(painter.destinations[i].top, expected.destination.top);
    EXPECT_EQ(painter.destinations[i].bottom, expected.destination.bottom);
  }
  // Left to right across the picture.
  EXPECT_LT(painter.destinations.front().left, painter.destinations.back().left);
}

TEST(WndAnimate, MinimizeRunMinimizesTheDialog) {
  TestDialog dialog(300, 300, 200, 120, true);
  CLiteWndAnimate animate;
  ASSERT_EQ(animate.Start(dialog.get(), kAnimateMinimize), 1);
  const HWND overlay = animate.overlay();
  // Minimized half-way, while the overlay still shrinks towards the taskbar.
  ASSERT_TRUE(PumpUntil([&] { return CLiteWndAnimate::FrameCounter(kAnimateMinimize) >= 12; }, 3000));
  EXPECT_TRUE(IsWindow(overlay));
  EXPECT_TRUE(IsIconic(dialog.get()));
  ASSERT_TRUE(PumpUntil([&] { return !IsWindow(overlay); }, 3000));
  EXPECT_TRUE(IsIconic(dialog.get()));
  EXPECT_EQ(animate.painted_frames(), kMinimizeLastTick - 1);
  EXPECT_EQ(CLiteWndAnimate::FrameCounter(kAnimateMinimize), kMinimizeLastTick);
  EXPECT_EQ(dialog.notes().size(), 0u);
}

TEST(WndAnimate, StoppedAndReplacedRunsSendNothingMore) {
  TestDialog dialog(100, 100, 200, 100, false);
  {
    CLiteWndAnimate animate;
    ASSERT_EQ(animate.Start(dialog.get(), kAnimateOpen), 1);
    const HWND first = animate.overlay();
    Pump(40);
    // A new run replaces the old one: its overlay goes, its messages never come.
    ASSERT_EQ(animate.Start(dialog.get(), kAnimateClose), 1);
    EXPECT_FALSE(IsWindow(first));
    const HWND second = animate.overlay();
    Pump(40);
    animate.Stop();
    EXPECT_FALSE(animate.running());
    EXPECT_FALSE(IsWindow(second));
    Pump(400);
    EXPECT_TRUE(dialog.notes().empty());

    // Destroyed in the middle of a run: the worker is waited for.
    ASSERT_EQ(animate.Start(dialog.get(), kAnimateOpen), 1);
    Pump(30);
  }
  Pump(300);
  EXPECT_TRUE(dialog.notes().empty());
}

TEST(WndAnimate, RefusesWhatCannotRun) {
  CLiteWndAnimate animate;
  EXPECT_EQ(animate.Start(nullptr, kAnimateOpen), 0);
  TestDialog dialog(0, 0, 50, 50, false);
  EXPECT_EQ(animate.Start(dialog.get(), 3), 0);
  EXPECT_FALSE(animate.running());
  EXPECT_EQ(animate.overlay(), nullptr);
}

TEST(WndAnimate, EachClassCountsItsOwnFrames) {
  TestDialog dialog(100, 100, 100, 60, false);
  CLiteWndAnimate lite;
  ASSERT_EQ(lite.Start(dialog.get(), kAnimateOpen), 1);
  ASSERT_TRUE(PumpUntil([&] { return !lite.running(); }, 3000));
  ASSERT_EQ(CLiteWndAnimate::FrameCounter(kAnimateOpen), 12);

  CWndAnimate rounded(6, 6);
  ASSERT_EQ(rounded.Start(dialog.get(), kAnimateOpen), 1);
  ASSERT_TRUE(PumpUntil([&] { return !rounded.running(); }, 3000));
  EXPECT_EQ(CWndAnimate::FrameCounter(kAnimateOpen), 8);
  EXPECT_EQ(CLiteWndAnimate::FrameCounter(kAnimateOpen), 12);
}

TEST(WndAnimate, RoundedCornersFollowEveryResize) {
  TestDialog dialog(100, 100, 200, 100, true);
  CWndAnimate animate;
  animate.Attach(dialog.get());
  EXPECT_EQ(animate.attached(), dialog.get());

  auto corner_cut = [&](int width, int height) {
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    const int kind = GetWindowRgn(dialog.get(), region);
    const bool cut = kind != ERROR && !PtInRegion(region, 0, 0) && !PtInRegion(region, width - 1, height - 1) &&
                     PtInRegion(region, width / 2, height / 2) && PtInRegion(region, width - 1, height / 2) &&
                     PtInRegion(region, width / 2, height - 1) && !PtInRegion(region, width + 2, height / 2);
    DeleteObject(region);
    return cut;
  };
  EXPECT_TRUE(corner_cut(200, 100));
  SetWindowPos(dialog.get(), nullptr, 0, 0, 300, 150, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_TRUE(corner_cut(300, 150));
}

}  // namespace
}  // namespace kbase

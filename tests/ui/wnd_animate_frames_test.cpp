// The window animation's arithmetic: frame timing by effect, the overlay around a dialog,
// and the size, place and alpha of each frame.
#include <gtest/gtest.h>

#include "ui/wnd_animate_frames.h"

namespace kbase {

// Printers and comparison for the test's messages, found by argument lookup.
std::ostream& operator<<(std::ostream& out, const AnimateRect& r) {
  return out << "(" << r.left << "," << r.top << "," << r.right << "," << r.bottom << ")";
}

bool operator==(const AnimateTiming& a, const AnimateTiming& b) {
  return a.open_interval == b.open_interval && a.open_frames == b.open_frames &&
         a.close_interval == b.close_interval && a.close_frames == b.close_frames;
}

std::ostream& operator<<(std::ostream& out, const AnimateTiming& t) {
  return out << "{" << t.open_interval << "," << t.open_frames << "," << t.close_interval << ","
             << t.close_frames << "}";
}

namespace {

TEST(WndAnimateFrames, TimingByEffectAndRun) {
  const AnimateTiming kBuilt = {1, 2, 3, 4};  // as constructed
  const struct {
    int effect;
    bool open_run;
    AnimateTiming expected;
  } kCases[] = {
      {0, true, {15, 12, 3, 4}},  {0, false, {1, 2, 15, 12}},
      {1, true, {15, 10, 3, 4}},  {1, false, {1, 2, 15, 8}},
      {2, true, {20, 12, 3, 4}},  {2, false, {1, 2, 20, 12}},
      // 3 sets both pairs, whichever run it is chosen for
      {3, true, {15, 10, 20, 6}}, {3, false, {15, 10, 20, 6}},
      // 4 sets the open pair even for a close run, and leaves the close pair
      {4, true, {15, 10, 3, 4}},  {4, false, {15, 10, 3, 4}},
      {5, true, {10, 16, 3, 4}},  {5, false, {1, 2, 10, 16}},
      {6, true, {15, 8, 3, 4}},   {6, false, {1, 2, 15, 8}},
      // outside 0 to 6: the values given at construction
      {7, true, kBuilt},          {-1, false, kBuilt},
  };
  for (const auto& c : kCases) {
    AnimateTiming timing = kBuilt;
    ApplyAnimateEffect(c.effect, c.open_run, &timing);
    EXPECT_EQ(timing, c.expected) << "effect " << c.effect << (c.open_run ? " open" : " close");
  }
}

TEST(WndAnimateFrames, OverlayIsInflatedByFourThenAQuarter) {
  const struct {
    AnimateRect dialog;
    AnimateRect overlay;
    int snapshot_width, snapshot_height, extra_width, extra_height;
  } kCases[] = {
      // 408 x 208 with the border; a quarter is 102 x 52, 51 and 26 on each side
      {{100, 100, 500, 300}, {45, 70, 555, 330}, 408, 208, 102, 52},
      // odd sizes: 309 x 159, quarters 77 and 39, 38 and 19 on each side
      {{0, 0, 301, 151}, {-42, -23, 343, 174}, 309, 159, 77, 39},
      // 360 x 170 reaching off the screen: 46 and 22 on each side
      {{-10, -20, 350, 150}, {-60, -46, 400, 176}, 368, 178, 92, 44},
  };
  for (const auto& c : kCases) {
    const OverlayGeometry g = ComputeOverlayGeometry(c.dialog);
    EXPECT_EQ(g.overlay, c.overlay) << c.dialog;
    EXPECT_EQ(g.snapshot_width, c.snapshot_width);
    EXPECT_EQ(g.snapshot_height, c.snapshot_height);
    EXPECT_EQ(g.extra_width, c.extra_width);
    EXPECT_EQ(g.extra_height, c.extra_height);
  }
}

TEST(WndAnimateFrames, AlphaStepsOfTwelveFrames) {
  // i * 100 / N * 240 / 100 in integer steps.
  const int kOpen[13] = {0, 19, 38, 60, 79, 98, 120, 139, 158, 180, 199, 218, 240};
  for (int i = 0; i <= 12; ++i) {
    EXPECT_EQ(OpenFrameAlpha(i, 12), kOpen[i]) << i;
    EXPECT_EQ(CloseFrameAlpha(i, 12), 255 - kOpen[i]) << i;
  }
  EXPECT_EQ(OpenFrameAlpha(16, 16), 240);
  EXPECT_EQ(CloseFrameAlpha(8, 8), 15);
  EXPECT_EQ(OpenFrameAlpha(1, 0), 240);  // no frames counts as one
}

// Every case on the 400 x 200 dialog: snapshot 408 x 208 in an overlay of 510 x 260.
const OverlayGeometry kGeometry = ComputeOverlayGeometry({100, 100, 500, 300});

TEST(WndAnimateFrames, OpenFramesByEffect) {
  const struct {
    int effect, frame, frames;
    AnimateRect source, destination;
    int light_left;
  } kCases[] = {
      // 0 grows both ways from nothing, centred
      {0, 1, 12, {0, 0, 408, 208}, {238, 121, 272, 138}, AnimateFrame::kNoLight},
      {0, 6, 12, {0, 0, 408, 208}, {153, 78, 357, 182}, AnimateFrame::kNoLight},
      {0, 12, 12, {0, 0, 408, 208}, {51, 26, 459, 234}, AnimateFrame::kNoLight},
      // 1 the height only
      {1, 5, 10, {0, 0, 408, 208}, {51, 78, 459, 182}, AnimateFrame::kNoLight},
      // 2 keeps the size
      {2, 1, 12, {0, 0, 408, 208}, {51, 26, 459, 234}, AnimateFrame::kNoLight},
      // 3 shrinks from the overlay's size to the snapshot's
      {3, 0, 10, {0, 0, 408, 208}, {0, 0, 510, 260}, AnimateFrame::kNoLight},
      {3, 10, 10, {0, 0, 408, 208}, {51, 26, 459, 234}, AnimateFrame::kNoLight},
      // 4 the width only
      {4, 5, 10, {0, 0, 408, 208}, {153, 26, 357, 234}, AnimateFrame::kNoLight},
      // 5 the whole picture under a light band of 60 crossing it
      {5, 0, 16, {0, 0, 408, 208}, {51, 26, 459, 234}, -9},
      {5, 16, 16, {0, 0, 408, 208}, {51, 26, 459, 234}, 459},
      // 6 uncovers the rows from the top
      {6, 2, 8, {0, 0, 408, 52}, {51, 26, 459, 78}, AnimateFrame::kNoLight},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << "effect " << c.effect << " frame " << c.frame << "/" << c.frames);
    const AnimateFrame f = OpenFrame(c.effect, c.frame, c.frames, kGeometry, 60);
    EXPECT_EQ(f.source, c.source);
    EXPECT_EQ(f.destination, c.destination);
    EXPECT_EQ(f.light_left, c.light_left);
    EXPECT_EQ(f.alpha, OpenFrameAlpha(c.frame, c.frames));
  }
}

TEST(WndAnimateFrames, CloseShrinksInStepsOfTheOpenFrameCount) {
  const struct {
    int effect, frame, close_frames, open_frames;
    int width, height;
  } kCases[] = {
      {0, 0, 12, 12, 408, 208},
      {0, 6, 12, 12, 204, 104},
      {0, 12, 12, 12, 0, 0},  // equal counts: down to nothing
      // close 8 after open 10: stops at a fifth
      {0, 8, 8, 10, 81, 41},
      // close 12 after open 8: nothing from frame 8 on
      {0, 10, 12, 8, 0, 0},
      {1, 4, 8, 8, 408, 104},
      {2, 3, 12, 12, 408, 208},
      {3, 6, 6, 10, 510, 260},  // grows to the overlay
      {4, 4, 8, 8, 204, 208},
      {6, 2, 8, 8, 408, 156},   // the rows from the top that remain
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << "effect " << c.effect << " frame " << c.frame << "/" << c.close_frames
                                    << " after " << c.open_frames);
    const AnimateFrame f = CloseFrame(c.effect, c.frame, c.close_frames, c.open_frames, kGeometry, 60);
    EXPECT_EQ(f.destination.width(), c.width);
    EXPECT_EQ(f.destination.height(), c.height);
    EXPECT_EQ(f.alpha, CloseFrameAlpha(c.frame, c.close_frames));
    if (c.width > 0) {
      EXPECT_EQ(f.destination.left, (510 - c.width) / 2);
    }
  }
}

TEST(WndAnimateFrames, MinimizeHeadsForTheTaskbarInsideTheOverlay) {
  // Taskbar along the bottom of a 1280 x 800 screen; the overlay is (45,70)-(555,330).
  const AnimateRect taskbar = {0, 770, 1280, 800};
  const AnimateFrame first = MinimizeFrame(0, kGeometry, taskbar);
  EXPECT_EQ(first.destination, (AnimateRect{51, 26, 459, 234}));
  EXPECT_EQ(first.alpha, 255);
  const AnimateFrame half = MinimizeFrame(9, kGeometry, taskbar);
  EXPECT_EQ(half.destination.width(), 204);
  EXPECT_EQ(half.alpha, 135);
  // The taskbar's centre (640, 785) lies outside: clamped to (510, 260) in the overlay.
  EXPECT_EQ((half.destination.left + half.destination.right) / 2, 255 + (510 - 255) / 2);
  EXPECT_EQ((half.destination.top + half.destination.bottom) / 2, 130 + (260 - 130) / 2);
  const AnimateFrame last = MinimizeFrame(kMinimizeLastTick - 1, kGeometry, taskbar);
  EXPECT_EQ(last.destination.width(), 0);
  EXPECT_EQ(last.alpha, 15);
  // Without a taskbar: the bottom centre of the overlay.
  const AnimateFrame nowhere = MinimizeFrame(kMinimizeLastTick - 1, kGeometry, {});
  EXPECT_EQ(nowhere.destination.left, 255);
  EXPECT_EQ(nowhere.destination.top, 260);
}

}  // namespace
}  // namespace kbase

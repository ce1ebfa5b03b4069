#pragma once
// The arithmetic of the window animation, without Win32: frame timing by effect, the
// overlay's geometry around a dialog, and where and how opaque each frame draws the
// dialog's snapshot. The Win32 side (lite_wnd_animate.h) only carries these numbers out.

namespace kbase {

// Kinds of run.
constexpr int kAnimateClose = 0;
constexpr int kAnimateOpen = 5;
constexpr int kAnimateMinimize = 6;

// The minimize run ticks at a fixed pace towards the taskbar: the dialog is minimized at
// one tick and the overlay closes at the last.
constexpr int kMinimizeInterval = 30;
constexpr int kMinimizeShowTick = 9;
constexpr int kMinimizeLastTick = 19;

// The overlay reaches this far beyond the dialog's window on every side, before the
// extra quarter; the snapshot keeps the same transparent border.
constexpr int kSnapshotBorder = 4;

struct AnimateTiming {
  int open_interval;  // milliseconds between frames
  int open_frames;
  int close_interval;
  int close_frames;
};

// The pairs a run takes from its effect before it starts. An effect outside 0 to 6 leaves
// the pairs as they are (the values given at construction).
void ApplyAnimateEffect(int effect, bool open_run, AnimateTiming* timing);

struct AnimateRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  bool operator==(const AnimateRect& other) const {
    return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
  }
};

struct OverlayGeometry {
  AnimateRect overlay;  // screen coordinates
  int snapshot_width = 0;   // dialog plus the border on both sides
  int snapshot_height = 0;
  int extra_width = 0;      // a quarter of the snapshot, half of it on each side
  int extra_height = 0;
};

// The overlay covers the dialog's window rectangle inflated by the border, and then by a
// quarter of that size, centred.
OverlayGeometry ComputeOverlayGeometry(const AnimateRect& dialog_window);

// One frame: the part of the snapshot to draw, where in the overlay (overlay coordinates),
// its constant alpha, and for the light sweep the left edge of the light band (kNoLight
// when there is none).
struct AnimateFrame {
  AnimateRect source;
  AnimateRect destination;
  int alpha = 255;
  int light_left = kNoLight;
  static constexpr int kNoLight = -32768;
};

// Alpha steps: the open run rises to 240 in integer steps, the close run falls to 15.
int OpenFrameAlpha(int frame, int frames);
int CloseFrameAlpha(int frame, int frames);

// Frame 1..frames of an open run with the given effect.
AnimateFrame OpenFrame(int effect, int frame, int frames, const OverlayGeometry& geometry,
                       int light_width);
// Frame 1..close_frames of a close run; the shrink goes in steps of 1/open_frames, so a
// dialog whose counts differ stops short of nothing (or reaches it early and stays there).
AnimateFrame CloseFrame(int effect, int frame, int close_frames, int open_frames,
                        const OverlayGeometry& geometry, int light_width);
// Tick 1..kMinimizeLastTick-1 of a minimize run; target is the taskbar's rectangle in
// screen coordinates (empty when there is none: then the bottom of the overlay).
AnimateFrame MinimizeFrame(int tick, const OverlayGeometry& geometry, const AnimateRect& target);

}  // namespace kbase

#include "ui/wnd_animate_frames.h"

#include <algorithm>

namespace kbase {

void ApplyAnimateEffect(int effect, bool open_run, AnimateTiming* timing) {
  auto set = [&](int open_interval, int open_frames, int close_interval, int close_frames) {
    if (open_run) {
      timing->open_interval = open_interval;
      timing->open_frames = open_frames;
    } else {
      timing->close_interval = close_interval;
      timing->close_frames = close_frames;
    }
  };
  switch (effect) {
    case 0: set(15, 12, 15, 12); break;
    case 1: set(15, 10, 15, 8); break;
    case 2: set(20, 12, 20, 12); break;
    case 3:
      // Whichever run it is chosen for, effect 3 sets both pairs.
      timing->open_interval = 15;
      timing->open_frames = 10;
      timing->close_interval = 20;
      timing->close_frames = 6;
      break;
    case 4:
      // The open pair only, even for a close run.
      timing->open_interval = 15;
      timing->open_frames = 10;
      break;
    case 5: set(10, 16, 10, 16); break;
    case 6: set(15, 8, 15, 8); break;
    default: break;
  }
}

OverlayGeometry ComputeOverlayGeometry(const AnimateRect& dialog_window) {
  OverlayGeometry geometry;
  geometry.snapshot_width = std::max(0, dialog_window.width()) + 2 * kSnapshotBorder;
  geometry.snapshot_height = std::max(0, dialog_window.height()) + 2 * kSnapshotBorder;
  geometry.extra_width = geometry.snapshot_width / 4;
  geometry.extra_height = geometry.snapshot_height / 4;
  const int side_x = kSnapshotBorder + geometry.extra_width / 2;
  const int side_y = kSnapshotBorder + geometry.extra_height / 2;
  geometry.overlay = {dialog_window.left - side_x, dialog_window.top - side_y,
                      dialog_window.left + std::max(0, dialog_window.width()) + side_x,
                      dialog_window.top + std::max(0, dialog_window.height()) + side_y};
  return geometry;
}

namespace {

int Steps(int frame, int frames) {
  if (frames < 1) frames = 1;
  frame = std::clamp(frame, 0, frames);
  return frame * 100 / frames * 240 / 100;
}

// A width x height box centred in the overlay.
AnimateRect Centred(const OverlayGeometry& geometry, int width, int height) {
  const int left = (geometry.overlay.width() - width) / 2;
  const int top = (geometry.overlay.height() - height) / 2;
  return {left, top, left + width, top + height};
}

AnimateRect WholeSnapshot(const OverlayGeometry& geometry) {
  return {0, 0, geometry.snapshot_width, geometry.snapshot_height};
}

// value * part / whole, never below 0.
int Share(int value, int part, int whole) {
  if (whole < 1) whole = 1;
  return std::max(0, value * std::max(0, part) / whole);
}

AnimateFrame Scaled(const OverlayGeometry& geometry, int width, int height, int alpha) {
  AnimateFrame frame;
  frame.source = WholeSnapshot(geometry);
  frame.destination = Centred(geometry, width, height);
  frame.alpha = alpha;
  return frame;
}

// The light band crosses the snapshot from left to right as done goes from 0 to total.
int LightLeft(const OverlayGeometry& geometry, int light_width, int done, int total) {
  const int start = Centred(geometry, geometry.snapshot_width, geometry.snapshot_height).left - light_width;
  return start + Share(geometry.snapshot_width + light_width, done, total);
}

// The snapshot's top rows, shown at their natural place.
AnimateFrame TopRows(const OverlayGeometry& geometry, int rows, int alpha) {
  AnimateFrame frame;
  const AnimateRect whole = Centred(geometry, geometry.snapshot_width, geometry.snapshot_height);
  rows = std::clamp(rows, 0, geometry.snapshot_height);
  frame.source = {0, 0, geometry.snapshot_width, rows};
  frame.destination = {whole.left, whole.top, whole.right, whole.top + rows};
  frame.alpha = alpha;
  return frame;
}

}  // namespace

int OpenFrameAlpha(int frame, int frames) { return Steps(frame, frames); }

int CloseFrameAlpha(int frame, int frames) { return 255 - Steps(frame, frames); }

AnimateFrame OpenFrame(int effect, int frame, int frames, const OverlayGeometry& geometry,
                       int light_width) {
  const int sw = geometry.snapshot_width;
  const int sh = geometry.snapshot_height;
  const int alpha = OpenFrameAlpha(frame, frames);
  const int rest = std::max(1, frames) - frame;
  switch (effect) {
    case 0: return Scaled(geometry, Share(sw, frame, frames), Share(sh, frame, frames), alpha);
    case 1: return Scaled(geometry, sw, Share(sh, frame, frames), alpha);
    case 3:
      return Scaled(geometry, sw + Share(geometry.extra_width, rest, frames),
                    sh + Share(geometry.extra_height, rest, frames), alpha);
    case 4: return Scaled(geometry, Share(sw, frame, frames), sh, alpha);
    case 5: {
      AnimateFrame result = Scaled(geometry, sw, sh, alpha);
      result.light_left = LightLeft(geometry, light_width, frame, frames);
      return result;
    }
    case 6: return TopRows(geometry, Share(sh, frame, frames), alpha);
    default: return Scaled(geometry, sw, sh, alpha);  // 2, and effects without a motion
  }
}

AnimateFrame CloseFrame(int effect, int frame, int close_frames, int open_frames,
                        const OverlayGeometry& geometry, int light_width) {
  const int sw = geometry.snapshot_width;
  const int sh = geometry.snapshot_height;
  const int alpha = CloseFrameAlpha(frame, close_frames);
  // The shrink counts in open frames, so unequal counts stop short or reach nothing early.
  const int left_open = std::max(1, open_frames) - frame;
  switch (effect) {
    case 0: return Scaled(geometry, Share(sw, left_open, open_frames), Share(sh, left_open, open_frames), alpha);
    case 1: return Scaled(geometry, sw, Share(sh, left_open, open_frames), alpha);
    case 3:
      return Scaled(geometry, sw + Share(geometry.extra_width, frame, close_frames),
                    sh + Share(geometry.extra_height, frame, close_frames), alpha);
    case 4: return Scaled(geometry, Share(sw, left_open, open_frames), sh, alpha);
    case 5: {
      AnimateFrame result = Scaled(geometry, sw, sh, alpha);
      result.light_left = LightLeft(geometry, light_width, frame, close_frames);
      return result;
    }
    case 6: return TopRows(geometry, Share(sh, std::max(1, close_frames) - frame, close_frames), alpha);
    default: return Scaled(geometry, sw, sh, alpha);
  }
}

AnimateFrame MinimizeFrame(int tick, const OverlayGeometry& geometry, const AnimateRect& target) {
  const int ticks = kMinimizeLastTick - 1;  // painted ticks; the last one closes the overlay
  tick = std::clamp(tick, 0, ticks);
  const int ow = geometry.overlay.width();
  const int oh = geometry.overlay.height();
  // Towards the taskbar's centre, but inside the overlay, which is all there is to draw on.
  int target_x = ow / 2;
  int target_y = oh;
  if (target.width() > 0 && target.height() > 0) {
    target_x = std::clamp((target.left + target.right) / 2 - geometry.overlay.left, 0, ow);
    target_y = std::clamp((target.top + target.bottom) / 2 - geometry.overlay.top, 0, oh);
  }
  const int width = Share(geometry.snapshot_width, ticks - tick, ticks);
  const int height = Share(geometry.snapshot_height, ticks - tick, ticks);
  const int centre_x = ow / 2 + (target_x - ow / 2) * tick / ticks;
  const int centre_y = oh / 2 + (target_y - oh / 2) * tick / ticks;
  AnimateFrame frame;
  frame.source = WholeSnapshot(geometry);
  frame.destination = {centre_x - width / 2, centre_y - height / 2, centre_x - width / 2 + width,
                       centre_y - height / 2 + height};
  frame.alpha = 255 - tick * 240 / ticks;
  return frame;
}

}  // namespace kbase

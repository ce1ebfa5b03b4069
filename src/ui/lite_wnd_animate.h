#pragma once
// The zoom-and-fade of a dialog opening, closing or minimizing: a layered overlay window
// over the dialog shows a snapshot of it, frame by frame, paced by a worker thread.
//
// The dialog takes part through two messages: 0x402 (the open run is at its last frame:
// show yourself) and 0x403 (the close run is over: end the modal run with the code you
// stored). The worker thread only sends frame paints (WM_PAINT with the frame number in
// wParam) and the messages 0x401 (to the overlay: close) to 0x403; every window call runs
// on the thread that started the run, which must pump messages while a run lasts.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>

#include "common/win/scoped_handle.h"
#include "ui/vw_bitmap.h"
#include "ui/vw_skin_painter.h"
#include "ui/wnd_animate_frames.h"

namespace kbase {

class CLiteWndAnimate {
 public:
  static constexpr UINT kCloseOverlayMessage = 0x401;
  static constexpr UINT kShowDialogMessage = 0x402;
  static constexpr UINT kEndDialogMessage = 0x403;

  // The timing is what effects outside 0 to 6 run with; the effects of 0 to 6 set their own.
  explicit CLiteWndAnimate(int open_effect = 0, int close_effect = 0,
                           const AnimateTiming& timing = {15, 12, 15, 12});
  // Stops a run that is still going (waiting for the worker) and destroys the overlay.
  virtual ~CLiteWndAnimate();
  CLiteWndAnimate(const CLiteWndAnimate&) = delete;
  CLiteWndAnimate& operator=(const CLiteWndAnimate&) = delete;

  // Starts a run of the kind (kAnimateOpen, kAnimateClose, kAnimateMinimize) over the
  // dialog, replacing a run that is still going. Returns 1 when the run started, 0 when
  // the dialog is not a window, the kind is unknown, or the overlay cannot be made.
  int Start(HWND dialog, int kind);
  // Ends a run at once, without its remaining frames and messages.
  void Stop();

  bool running() const { return running_; }
  HWND overlay() const { return overlay_; }
  int kind() const { return kind_; }
  const AnimateTiming& timing() const { return timing_; }
  const OverlayGeometry& geometry() const { return geometry_; }
  // Frames the overlay has painted in the current or last run (the first picture, shown
  // before the worker starts, is not counted).
  int painted_frames() const { return painted_frames_; }
  // A pixel of the last painted frame (premultiplied BGRA, overlay coordinates).
  uint32_t FramePixel(int x, int y) const { return frame_.at(x, y); }
  // The painter for the light band of effect 5; the process-wide default when not set.
  void SetSkinPainter(IVwSkinPainter* painter) { painter_ = painter; }

  // The process-wide frame counter of a kind for this class: the frame last reached.
  static int FrameCounter(int kind);

 protected:
  // Three counters (close, open, minimize) shared by every animator of the class.
  virtual std::atomic<int>* FrameCounters() const;
  // Called on the dialog at the start of every run.
  virtual void OnStart(HWND dialog) {}

 private:
  struct Worker;
  static LRESULT CALLBACK OverlayProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  static DWORD WINAPI WorkerMain(void* parameter);
  bool TakeSnapshot(HWND dialog);
  bool CreateOverlay();
  void PaintFrame(int frame);
  void Present();
  void CloseOverlay();
  void DestroyOverlay();

  int open_effect_;
  int close_effect_;
  AnimateTiming timing_;
  HWND dialog_ = nullptr;
  HWND overlay_ = nullptr;
  int kind_ = kAnimateClose;
  std::atomic<bool> running_{false};
  OverlayGeometry geometry_;
  AnimateRect taskbar_;
  CVwBitmap snapshot_;
  CVwBitmap frame_;
  int painted_frames_ = 0;
  IVwSkinPainter* painter_ = nullptr;
  ScopedHandle stop_;
  ScopedHandle worker_;
  std::unique_ptr<Worker> worker_state_;
};

}  // namespace kbase

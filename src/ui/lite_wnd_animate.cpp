#include "ui/lite_wnd_animate.h"
#include "ui/window_class.h"

#include <algorithm>

namespace kbase {
namespace {

constexpr wchar_t kOverlayClass[] = L"VwWndAnimateOverlay";
constexpr char kLightSkin[] = "white_light";
constexpr WPARAM kMinimizeCommand = 0xF022;  // SC_MINIMIZE from the caption

std::atomic<int> g_lite_counters[3];

int CounterIndex(int kind) { return kind == kAnimateOpen ? 1 : kind == kAnimateMinimize ? 2 : 0; }

bool RegisterOverlayClass(WNDPROC procedure) { return RegisterWindowClassOnce(kOverlayClass, procedure); }

// Waits for a thread to end while answering the messages other threads send to this
// one's windows, so that a worker blocked in SendMessage can finish.
void JoinWhileAnsweringSends(HANDLE thread) {
  for (;;) {
    const DWORD result = MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_SENDMESSAGE);
    if (result != WAIT_OBJECT_0 + 1) return;  // ended, or the wait failed
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

}  // namespace

struct CLiteWndAnimate::Worker {
  HWND dialog;
  HWND overlay;
  int kind;
  int interval;
  int frames;
  HANDLE stop;
  std::atomic<int>* counter;
  std::atomic<bool>* running;
};

CLiteWndAnimate::CLiteWndAnimate(int open_effect, int close_effect, const AnimateTiming& timing)
    : open_effect_(open_effect), close_effect_(close_effect), timing_(timing) {}

CLiteWndAnimate::~CLiteWndAnimate() { Stop(); }

std::atomic<int>* CLiteWndAnimate::FrameCounters() const { return g_lite_counters; }

int CLiteWndAnimate::FrameCounter(int kind) { return g_lite_counters[CounterIndex(kind)]; }

int CLiteWndAnimate::Start(HWND dialog, int kind) {
  Stop();
  if (!IsWindow(dialog)) return 0;
  if (kind != kAnimateOpen && kind != kAnimateClose && kind != kAnimateMinimize) return 0;
  dialog_ = dialog;
  kind_ = kind;
  painted_frames_ = 0;
  OnStart(dialog);
  if (kind == kAnimateOpen) ApplyAnimateEffect(open_effect_, true, &timing_);
  if (kind == kAnimateClose) ApplyAnimateEffect(close_effect_, false, &timing_);

  RECT window;
  GetWindowRect(dialog, &window);
  geometry_ = ComputeOverlayGeometry({window.left, window.top, window.right, window.bottom});
  taskbar_ = {};
  if (kind == kAnimateMinimize) {
    RECT bar;
    HWND tray = FindWindowW(L"Shell_TrayWnd", nullptr);
    if (tray != nullptr && GetWindowRect(tray, &bar)) taskbar_ = {bar.left, bar.top, bar.right, bar.bottom};
  }
  if (!TakeSnapshot(dialog) || !frame_.Create(geometry_.overlay.width(), geometry_.overlay.height()) ||
      !CreateOverlay()) {
    DestroyOverlay();
    return 0;
  }

  // The first picture: nothing yet for an open run, the whole dialog for the others, so
  // that hiding the dialog leaves it in place.
  if (kind != kAnimateOpen) {
    BitmapDc target(frame_.handle());
    BitmapDc source(snapshot_.handle());
    const AnimateRect whole = {(geometry_.overlay.width() - snapshot_.width()) / 2,
                               (geometry_.overlay.height() - snapshot_.height()) / 2, 0, 0};
    BitBlt(target.get(), whole.left, whole.top, snapshot_.width(), snapshot_.height(), source.get(), 0, 0,
           SRCCOPY);
  }
  Present();
  SetWindowPos(overlay_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);

  stop_.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  std::atomic<int>* counter = &FrameCounters()[CounterIndex(kind)];
  *counter = 0;
  const bool open = kind == kAnimateOpen;
  worker_state_.reset(new Worker{dialog, overlay_, kind,
                                 kind == kAnimateMinimize ? kMinimizeInterval
                                 : open                   ? timing_.open_interval
                                                          : timing_.close_interval,
                                 kind == kAnimateMinimize ? kMinimizeLastTick
                                 : open                   ? timing_.open_frames
                                                          : timing_.close_frames,
                                 stop_.get(), counter, &running_});
  running_ = true;
  if (stop_.valid()) worker_.Reset(CreateThread(nullptr, 0, WorkerMain, worker_state_.get(), 0, nullptr));
  if (!worker_.valid()) {
    running_ = false;
    DestroyOverlay();
    return 0;
  }
  if (kind == kAnimateClose) ShowWindow(dialog, SW_HIDE);
  return 1;
}

void CLiteWndAnimate::Stop() {
  if (worker_.valid()) {
    SetEvent(stop_.get());
    JoinWhileAnsweringSends(worker_.get());
    worker_.Reset();
  }
  worker_state_.reset();
  stop_.Reset();
  running_ = false;
  DestroyOverlay();
}

DWORD WINAPI CLiteWndAnimate::WorkerMain(void* parameter) {
  const Worker& run = *static_cast<const Worker*>(parameter);
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
  // False once the run was stopped.
  auto next_tick = [&run](int milliseconds) {
    return WaitForSingleObject(run.stop, static_cast<DWORD>(std::max(0, milliseconds))) == WAIT_TIMEOUT;
  };
  auto still_going = [&run]() { return WaitForSingleObject(run.stop, 0) == WAIT_TIMEOUT; };

  bool complete = true;
  const int paints = run.kind == kAnimateMinimize ? run.frames - 1 : run.frames;
  for (int frame = 1; frame <= paints && complete; ++frame) {
    complete = next_tick(run.interval);
    if (!complete) break;
    *run.counter = frame;
    SendMessageW(run.overlay, WM_PAINT, static_cast<WPARAM>(frame), 0);
  }
  if (complete && run.kind == kAnimateMinimize) {
    complete = next_tick(run.interval);
    if (complete) *run.counter = run.frames;
  }
  // The closing messages are sent without waiting for their answers: a dialog may end
  // and destroy its animator while it handles them, which waits for this thread.
  if (complete && still_going()) {
    switch (run.kind) {
      case kAnimateOpen:
        SendNotifyMessageW(run.dialog, kShowDialogMessage, 0, 0);
        SendNotifyMessageW(run.overlay, kCloseOverlayMessage, 0, 0);
        break;
      case kAnimateClose:
        SendNotifyMessageW(run.overlay, kCloseOverlayMessage, 0, 0);
        SendNotifyMessageW(run.dialog, kEndDialogMessage, 0, 0);
        break;
      default:
        SendNotifyMessageW(run.overlay, kCloseOverlayMessage, 0, 0);
        break;
    }
  }
  *run.running = false;
  return 0;
}

bool CLiteWndAnimate::TakeSnapshot(HWND dialog) {
  if (!snapshot_.Create(geometry_.snapshot_width, geometry_.snapshot_height)) return false;
  const int width = geometry_.snapshot_width - 2 * kSnapshotBorder;
  const int height = geometry_.snapshot_height - 2 * kSnapshotBorder;
  {
    BitmapDc dc(snapshot_.handle());
    if (dc.get() == nullptr) return false;
    SetViewportOrgEx(dc.get(), kSnapshotBorder, kSnapshotBorder, nullptr);
    SendMessageW(dialog, WM_PRINT, reinterpret_cast<WPARAM>(dc.get()),
                 PRF_NONCLIENT | PRF_CLIENT | PRF_CHILDREN | PRF_ERASEBKGND);
  }
  GdiFlush();
  // A window drawn by plain GDI leaves alpha 0 everywhere: count it as opaque. A window
  // that paints with alpha (a layered back buffer) keeps its own.
  uint32_t* pixels = snapshot_.bits();
  bool any_alpha = false;
  for (int y = 0; y < height && !any_alpha; ++y)
    for (int x = 0; x < width && !any_alpha; ++x)
      any_alpha = (pixels[(y + kSnapshotBorder) * snapshot_.width() + x + kSnapshotBorder] >> 24) != 0;
  if (!any_alpha) {
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) pixels[(y + kSnapshotBorder) * snapshot_.width() + x + kSnapshotBorder] |= 0xFF000000u;
  }
  return true;
}

bool CLiteWndAnimate::CreateOverlay() {
  if (!RegisterOverlayClass(OverlayProc)) return false;
  const AnimateRect& r = geometry_.overlay;
  // Not owned by the dialog: an owned window would vanish with it when it is minimized.
  overlay_ = CreateWindowExW(WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE,
                             kOverlayClass, L"", WS_POPUP, r.left, r.top, r.width(), r.height(), nullptr,
                             nullptr, GetModuleHandleW(nullptr), this);
  return overlay_ != nullptr;
}

void CLiteWndAnimate::PaintFrame(int frame) {
  if (overlay_ == nullptr || frame_.handle() == nullptr) return;
  IVwSkinPainter* painter = painter_ != nullptr ? painter_ : DefaultSkinPainter();
  SIZE light{};
  if (painter == nullptr || !painter->GetSkinImageSize(kLightSkin, &light)) light = {};

  AnimateFrame picture;
  if (kind_ == kAnimateOpen) {
    picture = OpenFrame(open_effect_, frame, timing_.open_frames, geometry_, light.cx);
  } else if (kind_ == kAnimateClose) {
    picture = CloseFrame(close_effect_, frame, timing_.close_frames, timing_.open_frames, geometry_, light.cx);
  } else {
    picture = MinimizeFrame(frame, geometry_, taskbar_);
    if (frame == kMinimizeShowTick) ShowWindow(dialog_, SW_SHOWMINIMIZED);
  }

  frame_.Clear();
  {
    BitmapDc target(frame_.handle());
    BitmapDc source(snapshot_.handle());
    const AnimateRect& d = picture.destination;
    const AnimateRect& s = picture.source;
    if (d.width() > 0 && d.height() > 0 && s.width() > 0 && s.height() > 0 && picture.alpha > 0) {
      BLENDFUNCTION blend{AC_SRC_OVER, 0, static_cast<BYTE>(std::clamp(picture.alpha, 0, 255)), AC_SRC_ALPHA};
      AlphaBlend(target.get(), d.left, d.top, d.width(), d.height(), source.get(), s.left, s.top, s.width(),
                 s.height(), blend);
    }
    if (picture.light_left != AnimateFrame::kNoLight && light.cx > 0 && light.cy > 0) {
      painter->DrawSkinStretch(kLightSkin, target.get(),
                               {picture.light_left, d.top, picture.light_left + light.cx, d.bottom},
                               {0, 0, light.cx, light.cy});
    }
  }
  ++painted_frames_;
  Present();
}

void CLiteWndAnimate::Present() {
  BitmapDc source(frame_.handle());
  POINT position{geometry_.overlay.left, geometry_.overlay.top};
  SIZE size{frame_.width(), frame_.height()};
  POINT origin{0, 0};
  BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  HDC screen = GetDC(nullptr);
  UpdateLayeredWindow(overlay_, screen, &position, &size, source.get(), &origin, 0, &blend, ULW_ALPHA);
  ReleaseDC(nullptr, screen);
}

void CLiteWndAnimate::CloseOverlay() {
  if (kind_ == kAnimateOpen && overlay_ != nullptr) {
    SetWindowPos(overlay_, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  DestroyOverlay();
  if (kind_ == kAnimateMinimize && IsWindowVisible(dialog_)) SendMessageW(dialog_, WM_SYSCOMMAND, kMinimizeCommand, 0);
}

void CLiteWndAnimate::DestroyOverlay() {
  if (overlay_ != nullptr) DestroyWindow(overlay_);  // WM_NCDESTROY clears overlay_
  overlay_ = nullptr;
}

LRESULT CALLBACK CLiteWndAnimate::OverlayProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<CLiteWndAnimate*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  switch (message) {
    case WM_PAINT:
      if (wparam == 0 || self == nullptr) {
        ValidateRect(window, nullptr);  // the system's own paint request: the layer holds the picture
      } else {
        self->PaintFrame(static_cast<int>(wparam));
      }
      return 0;
    case kCloseOverlayMessage:
      if (self != nullptr) self->CloseOverlay();
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
      SetBkMode(reinterpret_cast<HDC>(wparam), TRANSPARENT);
      return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_NCDESTROY:
      if (self != nullptr && self->overlay_ == window) self->overlay_ = nullptr;
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      break;
    default:
      break;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace kbase

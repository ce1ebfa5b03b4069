#pragma once
// A windowless element: a rectangle in host-window client coordinates that loads its
// attributes from a layout element, paints itself on a canvas, answers hit tests and
// reports mouse events. Painting, sizing and mouse handling arrive as internal messages
// numbered like their Win32 counterparts.
#include <cstdint>
#include <string>

#include "ui/layout_position.h"
#include "ui/vw_attribute_text.h"
#include "ui/vw_geometry.h"
#include "ui/vw_object.h"
#include "ui/vw_platform.h"

namespace kbase {

class CVwWindow;
class IVwCanvas;
struct VwTextPaint;
class VwStyle;

// Internal message numbers.
enum VwInternalMessage : unsigned {
  kVwMsgCreate = 1,
  kVwMsgDestroy = 2,
  kVwMsgPaint = 15,          // wparam: IVwCanvas*
  kVwMsgShow = 24,           // wparam: 1 show, 0 hide; lparam: 1 when passed on by an ancestor
  kVwMsgPositionChanged = 71,  // lparam: const LayoutPlacement*
  kVwMsgSizeQuery = 131,     // lparam: VwSizeQuery*
  kVwMsgMouseMove = 512,     // lparam: const VwPoint*
  kVwMsgLButtonDown = 513,
  kVwMsgLButtonUp = 514,
  kVwMsgMouseWheel = 522,
  kVwMsgMouseLeave = 675,
};

struct VwSizeQuery {
  int inner_width = 0;
  int inner_height = 0;
  VwSize size;
};

// State bits.
enum VwStateBits : unsigned {
  kVwStateHover = 0x1,
  kVwStatePushed = 0x2,
  kVwStateChecked = 0x4,
  kVwStateHidden = 0x8,
  kVwStateDisabled = 0x10,
};

// Control events of "notify" (view notification 6).
constexpr int kVwControlEventMove = 3;
constexpr int kVwControlEventLeave = 4;

class IVwWindowPaintHook {
 public:
  virtual ~IVwWindowPaintHook() = default;
  // before = 1 ahead of the element's own painting (answer 0 to skip it), 0 after it.
  virtual int OnPaint(CVwWindow* element, IVwCanvas& canvas, const VwRect& rect, int before) = 0;
};

class IVwWindowEventListener {
 public:
  virtual ~IVwWindowEventListener() = default;
  virtual void OnEvent(unsigned message, CVwWindow* element, const VwRect& rect, VwPoint point) = 0;
};

class CVwWindow : public CVwObject {
 public:
  CVwWindow();
  ~CVwWindow() override;

  int Load(const TiXmlElement& element) override;
  int SetAttribute(const char* name, const char* value, bool loading) override;

  virtual const std::wstring& GetToolTip() const { return tool_tip_; }
  virtual int AcceptsHeaderLButtonDown() const { return head_accept_lbutton_down_; }
  virtual void OnContainerEvent(int event, int param1, int param2) {}
  virtual void SetCursor();
  // state = (state | add) & ~remove; returns the old state.
  virtual unsigned ModifyState(unsigned add, unsigned remove);
  virtual void SetContainer(VwHostWindow host) { host_ = host; }
  // The element handle when (x, y) lies inside, else 0.
  virtual uint32_t HitTest(int x, int y, int flag);
  virtual bool NeedRedrawWhenStateChange() const;
  virtual int IsContainer() const { return 0; }
  // Paints background, self and (containers) children; 0 when outside the region.
  virtual int RedrawRegion(IVwCanvas& canvas);
  virtual void DrawBackground(IVwCanvas& canvas);
  virtual int ReservedHook1() { return 0; }
  virtual int ReservedHook2() { return 0; }
  // Internal dispatch; returns 1 when handled.
  virtual int ProcessMessage(unsigned message, uintptr_t wparam, intptr_t lparam, intptr_t* result);

  // Helpers for containers and hosts.
  uint32_t handle() const { return handle_; }
  uint32_t parent() const { return parent_; }
  void set_parent(uint32_t parent) { parent_ = parent; }
  VwHostWindow host() const { return host_; }
  int id() const { return id_; }
  const VwRect& rect() const { return rect_; }
  void set_rect(const VwRect& rect) { rect_ = rect; }
  unsigned position_flags() const { return position_flags_; }
  const LayoutPosition& position() const { return position_; }
  unsigned state() const { return state_; }
  bool floating() const { return (position_flags_ & kVwFloating) != 0; }
  bool hidden() const { return (state_ & kVwStateHidden) != 0; }
  bool transparent() const { return transparent_ != 0; }
  const std::wstring& text() const { return text_; }
  void set_text(const std::wstring& text) { text_ = text; }
  const std::string& style_name() const { return style_name_; }
  const std::wstring& href() const { return href_; }
  int fixed_width() const { return fixed_width_; }
  int fixed_height() const { return fixed_height_; }
  int vertical_align() const { return vertical_align_; }
  int horizontal_align() const { return horizontal_align_; }
  bool dpi() const { return dpi_ != 0; }
  void set_dpi(bool dpi) { dpi_ = dpi ? 1 : 0; }
  int user_data() const { return user_data_; }
  uint32_t text_format() const { return text_format_; }
  VwColour own_text_colour() const { return text_colour_; }
  bool autofix_text_rect() const { return autofix_text_rect_ != 0; }
  void set_paint_hook(IVwWindowPaintHook* hook) { paint_hook_ = hook; }
  void set_event_listener(IVwWindowEventListener* listener) { event_listener_ = listener; }

  const VwStyle& Style() const;
  // Neither this element nor an ancestor is hidden.
  bool IsVisibleInTree() const;
  // This element or an ancestor is disabled.
  bool IsDisabledInTree() const;
  // Asks the host to repaint the element's rectangle (view notification 1000) when the
  // element is visible.
  void Invalidate();
  // Places the element with a zero-sized container at its own corner (natural size).
  void SizeToContent();
  // The text extent of the inner text plus twice the style margins; 0 x 0 without text.
  VwSize NaturalTextSize(int inner_width) const;

 protected:
  // Paints the inner text with the font and colour of the current state.
  void PaintText(IVwCanvas& canvas);
  // The text paint of the current state (font, colour, alpha) for any text and rectangle;
  // controls that draw captions or labels use it.
  VwTextPaint StateTextPaint(const std::wstring& text, const VwRect& rect, uint32_t format) const;
  VwColour own_background() const { return background_; }
  uint16_t own_font_id() const { return font_id_; }
  void OnPositionChanged(const LayoutPlacement& placement);

 private:
  uint32_t handle_ = 0;
  uint32_t parent_ = 0;
  VwHostWindow host_ = nullptr;
  int id_ = 0;
  VwRect rect_;
  unsigned position_flags_ = 0;
  std::wstring text_;
  int fixed_width_ = 0;
  int fixed_height_ = 0;
  int vertical_align_ = kVwAlignTop;
  int horizontal_align_ = kVwAlignLeft;
  std::wstring href_;
  int transparent_ = 0;
  std::wstring tool_tip_;
  std::string style_name_;
  VwColour background_ = kVwColourUnset;
  VwColour text_colour_ = kVwColourUnset;
  unsigned state_ = 0;
  uint16_t font_id_ = 0;
  uint32_t text_format_ = 0;
  int text_alpha_ = -1;
  int head_accept_lbutton_down_ = 0;
  LayoutPosition position_;
  IVwWindowPaintHook* paint_hook_ = nullptr;
  IVwWindowEventListener* event_listener_ = nullptr;
  int force_update_style_ = 0;
  int autofix_text_rect_ = 1;
  int border_ = 0;
  int dpi_ = 0;
  int user_data_ = 0;
  int correct_draw_background_ = 0;
  int notify_ = 0;
};

}  // namespace kbase

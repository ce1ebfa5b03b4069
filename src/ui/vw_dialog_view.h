#pragma once
// The view of a skinned dialog: the window whose client area the element tree of a layer
// document covers. It lays the header, body and footer out on WM_SIZE, paints them
// through one persistent 32-bit back buffer, routes mouse and keyboard to the elements
// and reports the results as WM_NOTIFY records.
//
// CVwViewImpl holds everything both host forms share; it does not own a window class.
// CVwDialogView is the view as a child window (control id 1000) of a CVwDialogImpl.
#include <windows.h>

#include <string>

#include "ui/gdi_owner.h"
#include "ui/vw_bitmap.h"
#include "ui/vw_dialog.h"
#include "ui/vw_layer_document.h"

namespace kbase {

class CShadowWnd;

// Messages a dialog may send to its host.
constexpr UINT kVwMsgSetToolTipText = 0x81F5;   // lParam: const wchar_t*
constexpr UINT kVwMsgGetHostWindow = 0x81F7;    // lParam: HWND* that receives the host
constexpr UINT kVwMsgPartialRedraw = 0x81F8;    // answers 1 when partial redraws are allowed
// Offered to the host's top-most child on the focus chain before dispatch; lParam: MSG*.
constexpr UINT kVwMsgPreTranslate = 0x37F;
// Internal "show" message of the elements with its wParam.
constexpr int kVwShow = 1;
constexpr int kVwHide = 0;

// Whether desktop composition is on (DWM looked up at run time; false without it).
bool VwCompositionEnabled();

class CVwViewImpl {
 public:
  explicit CVwViewImpl(VwHostForm form);
  virtual ~CVwViewImpl();
  CVwViewImpl(const CVwViewImpl&) = delete;
  CVwViewImpl& operator=(const CVwViewImpl&) = delete;

  // Loads the layer document of that number (first source of the resource loader) and
  // builds the panels. 0 when it is missing, does not parse or is not a "layer".
  int Load(int layout_number);
  // The same from document text.
  int LoadFromText(const std::string& xml);
  bool loaded() const { return loaded_; }
  const VwLayerSettings& layer() const { return layer_; }

  // ---- element access by id (header, body, footer in that order)
  CVwWindow* FindElement(int id);
  // New inner text; an element sized by its content (and without four position items)
  // takes its new natural size at its corner. Old and new rectangles are redrawn.
  bool SetElementText(int id, const std::wstring& text);
  bool SetElementAttribute(int id, const char* name, const char* utf8_value);
  bool SetElementAttribute(int id, const char* name, const std::wstring& value);
  bool SetElementCheck(int id, bool checked);
  bool ShowElement(int id, bool show);
  bool EnableElement(int id, bool enable);

  CVwDialog& header() { return header_; }
  CVwDialog& body() { return body_; }
  CVwDialog& footer() { return footer_; }
  // The creator the panels use for tags they do not know (not owned).
  void SetControlCreator(IVwControlCreator* creator);

  HWND view_window() const { return view_; }
  uint32_t hovered() const { return hovered_; }
  uint32_t pushed() const { return pushed_; }
  bool capturing() const { return capture_; }
  int last_hit_code() const { return last_hit_code_; }
  HWND tool_tip() const { return tool_tip_; }
  const std::wstring& tool_tip_text() const { return tip_text_; }
  // The back buffer as last painted (client size, premultiplied BGRA).
  const CVwBitmap& back_buffer() const { return buffer_; }

  // Not a child window, and layered or under DWM composition.
  bool PartialRedrawAllowed() const;
  // Marks everything for repainting and paints the back buffer now (no presentation).
  void RepaintAll();
  // Adds a client rectangle to the invalid region and invalidates it.
  void InvalidateArea(const RECT& rect);

  // The cut-corner border of a popup's view (on by default).
  void set_draw_border(bool draw) { draw_border_ = draw; }
  bool draws_border() const { return draw_border_; }
  void set_shadow(CShadowWnd* shadow) { view_shadow_ = shadow; }
  void set_alpha(BYTE alpha) { alpha_ = alpha; }
  BYTE alpha() const { return alpha_; }

 protected:
  // Attaches the view window: panels learn the handle, the tool tip is made.
  void AttachView(HWND view);
  void DetachView();
  // Lays the panels out over the client area and schedules a full repaint.
  void Layout();
  void ShowPanels();
  // The view's share of the window procedure; false leaves the message to the caller.
  bool HandleViewMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result);
  // Sends a view notification to the dialog; returns its answer.
  LRESULT Notify(UINT code, int element_id, const char* tag = "");

  // Hooks of the window that owns the view.
  virtual void OnPaintOver(HDC dc) {}
  virtual void OnBeforePresent(CVwBitmap& buffer) {}
  virtual void OnBlurRegion() {}
  // The window that is dragged, maximized and restored (the top-level window).
  HWND TopLevel() const;
  // Whether the window that holds the view is a child window.
  bool HostIsChild() const;

  VwHostForm form_;
  int layout_number_ = 0;
  bool loaded_ = false;
  VwLayerSettings layer_;
  CVwDialog header_;
  CVwDialog body_;
  CVwDialog footer_;
  HWND view_ = nullptr;

 private:
  uint32_t HitTestPanels(int x, int y);
  uint32_t HitTestAtCursor();
  void Render();
  void Present(HDC target);
  void DrawBorder(HDC dc, int width, int height);
  void RedrawIfNeeded(CVwWindow* element);
  void SetHover(uint32_t handle);
  void UpdateToolTip(const std::wstring& text);
  void OnMouseMove(int x, int y, WPARAM wparam, LPARAM lparam);
  void OnMouseLeave();
  void OnLButtonDown(int x, int y);
  void OnLButtonUp(int x, int y);
  void OnDoubleClick(int x, int y);
  bool OnSetCursor();
  bool IsClickable(const char* tag) const;
  VwLayerPanels Panels();

  CVwBitmap buffer_;
  ScopedRegion invalid_;
  bool full_redraw_ = true;
  bool dirty_ = true;
  uint32_t hovered_ = 0;
  uint32_t pushed_ = 0;
  bool capture_ = false;
  bool tracking_leave_ = false;
  int last_hit_code_ = HTCLIENT;
  HWND tool_tip_ = nullptr;
  std::wstring tip_text_;
  CShadowWnd* view_shadow_ = nullptr;
  BYTE alpha_ = 255;
  bool draw_border_ = true;
  IVwControlCreator* creator_ = nullptr;
  bool first_show_done_ = false;

  friend class CVwDialogImpl;
  friend class CVwDialogViewEx;
};

class CVwDialogImpl;

// The view child window of a CVwDialogImpl (control id 1000): it sends its notifications
// to the popup with wParam and idFrom 1000, and passes the commands and notifications of
// real child windows on to it.
class CVwDialogView : public CVwViewImpl {
 public:
  static constexpr wchar_t kClassName[] = L"VwDialogView";

  explicit CVwDialogView(CVwDialogImpl* owner);
  ~CVwDialogView() override;

  // Creates the view over the popup's client area; null on failure.
  HWND CreateView(HWND parent);
  void DestroyView();

 protected:
  void OnPaintOver(HDC dc) override;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
  CVwDialogImpl* owner_;
};

}  // namespace kbase

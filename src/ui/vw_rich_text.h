#pragma once
// Rich text elements: "richtext" and "richtextex" draw the inline markup of their own XML
// content with wrapping and clickable links; "richtext2" draws text, break and offset
// objects given as child elements. A click on a link reaches the parent of the host
// window as view notification 1 with the link's id.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ui/rich_text_layout.h"
#include "ui/rich_text_markup.h"
#include "ui/vw_window.h"

namespace kbase {

class IVwCanvas;

// Measuring and drawing of one element's text: whole pixels through GDI or fractional
// positions through GDI+, both reached through the installed platform and the canvas.
class IRichTextGraphics : public IRichTextMeasure {
 public:
  virtual bool fractional() const = 0;
  virtual void DrawText(IVwCanvas& canvas, const std::wstring& text, double x, double y, uint16_t font_id,
                        VwColour colour) = 0;
  virtual void DrawImage(IVwCanvas& canvas, const RichTextImageBox& image) = 0;
};

class CRichTextGdiGraphics : public IRichTextGraphics {
 public:
  explicit CRichTextGdiGraphics(bool dpi) : dpi_(dpi) {}
  RichTextFit Fit(const std::wstring& text, size_t start, size_t length, uint16_t font_id, double max_width) override;
  bool ImageSize(const std::wstring& path, double* width, double* height) override;
  bool fractional() const override { return gdiplus(); }
  void DrawText(IVwCanvas& canvas, const std::wstring& text, double x, double y, uint16_t font_id,
                VwColour colour) override;
  void DrawImage(IVwCanvas& canvas, const RichTextImageBox& image) override;

 protected:
  virtual bool gdiplus() const { return false; }

 private:
  bool dpi_;
};

class CRichTextGdiPlusGraphics : public CRichTextGdiGraphics {
 public:
  explicit CRichTextGdiPlusGraphics(bool dpi) : CRichTextGdiGraphics(dpi) {}

 protected:
  bool gdiplus() const override { return true; }
};

// The "richtext" element.
class CVwRichText : public CVwWindow {
 public:
  static constexpr const char* kTag = "richtext";
  // The tag carried by link notifications, for "richtextex" as well.
  static constexpr const char* kNotifyTag = "richtext";

  CVwRichText();
  const char* GetObjectClass() const override { return kTag; }
  // Reads the markup of the element's content, then the CVwWindow load.
  int Load(const TiXmlElement& element) override;
  int SetAttribute(const char* name, const char* value, bool loading) override;
  // The hand over a link (everywhere with "forcecursor"), else the arrow.
  void SetCursor() override;
  int ProcessMessage(unsigned message, uintptr_t wparam, intptr_t lparam, intptr_t* result) override;

  const std::vector<RichTextItem>& markup() const { return markup_; }
  uint16_t default_font() const { return default_font_; }
  bool adjust_pos() const { return adjust_pos_; }
  // The links of the last paint (empty after a repositioning until the next paint).
  const std::vector<RichTextLinkBox>& links() const { return links_; }
  int hovered_link() const { return hovered_; }
  int pressed_link() const { return pressed_; }
  // The layout a paint would draw now.
  RichTextLayout LayOutNow();

 protected:
  virtual RichTextDialect dialect() const { return RichTextDialect::kBasic; }
  virtual std::unique_ptr<IRichTextGraphics> MakeGraphics() const;

 private:
  struct LinkStyle {
    VwColour text_colour = kVwColourUnset;
    VwColour hover_colour = kVwColourUnset;
    VwColour disabled_colour = kVwColourUnset;
    uint16_t font_id = 0;
    uint16_t hover_font_id = 0;
  };
  void CopyLinkStyle(const std::string& name);
  VwRect DrawingArea();
  void Paint(IVwCanvas& canvas);
  int LinkAt(const VwPoint& point) const;
  void RedrawLink(int index);

  std::vector<RichTextItem> markup_;
  uint16_t default_font_ = 0;
  LinkStyle link_style_;
  int force_cursor_ = 0;
  bool adjust_pos_ = false;
  int auto_adjust_yahei_ = 0;
  bool area_adjusted_ = false;
  VwRect adjusted_area_;
  VwRect painted_area_;
  std::vector<RichTextLinkBox> links_;
  int hovered_ = -1;
  int pressed_ = -1;
};

// The "richtextex" element: the same markup without "s" and "g", with "img", laid out in
// fractional positions and drawn through GDI+.
class CVwRichTextEx : public CVwRichText {
 public:
  static constexpr const char* kTag = "richtextex";
  const char* GetObjectClass() const override { return kTag; }

 protected:
  RichTextDialect dialect() const override { return RichTextDialect::kExtended; }
  std::unique_ptr<IRichTextGraphics> MakeGraphics() const override;
};

// Objects of "richtext2".
class IVwRichtextObj {
 public:
  virtual ~IVwRichtextObj() = default;
  // The object's kind: "text", "break", "offset" or "char".
  virtual const char* GetObjectKind() const = 0;
  // Adds what the object contributes to the layout.
  virtual void AppendItems(std::vector<RichTextItem>* items) const = 0;
};

class CVwRichAtomObj : public CVwObject, public IVwRichtextObj {
 public:
  const char* GetObjectClass() const override { return GetObjectKind(); }
};

// Base of objects that carry "id" and "notifymsg": a non-zero "notifymsg" makes the
// object clickable, and a click sends view notification 1 with its "id".
class CVwRichtextObjBase : public CVwRichAtomObj {
 public:
  int SetAttribute(const char* name, const char* value, bool loading) override;
  int id() const { return id_; }
  int notify_message() const { return notify_message_; }

 private:
  int id_ = 0;
  int notify_message_ = 0;
};

// One laid-out piece of a text object.
class CVwRichTextSubTextObj : public CVwRichAtomObj {
 public:
  CVwRichTextSubTextObj(std::wstring text, const RichTextBox& box) : text_(std::move(text)), box_(box) {}
  const char* GetObjectKind() const override { return "char"; }
  void AppendItems(std::vector<RichTextItem>* items) const override;
  const std::wstring& text() const { return text_; }
  const RichTextBox& box() const { return box_; }

 private:
  std::wstring text_;
  RichTextBox box_;
};

// "text": its content in the font and colour of the style "class"; "adjust" moves it
// down by that many pixels (up when negative).
class CVwRichtextObj : public CVwRichtextObjBase {
 public:
  int Load(const TiXmlElement& element) override;
  int SetAttribute(const char* name, const char* value, bool loading) override;
  const char* GetObjectKind() const override { return "text"; }
  void AppendItems(std::vector<RichTextItem>* items) const override;

  const std::wstring& text() const { return text_; }
  const std::string& style_name() const { return style_name_; }
  int adjust() const { return adjust_; }
  // The pieces of the last layout.
  std::vector<std::unique_ptr<CVwRichTextSubTextObj>>& pieces() { return pieces_; }

 private:
  std::wstring text_;
  std::string style_name_;
  int adjust_ = 0;
  std::vector<std::unique_ptr<CVwRichTextSubTextObj>> pieces_;
};

class CVwRichBreakObj : public CVwRichAtomObj {
 public:
  const char* GetObjectKind() const override { return "break"; }
  void AppendItems(std::vector<RichTextItem>* items) const override;
};

// "offset": moves the pen right by "length" pixels.
class CVwRichOffsetObj : public CVwRichAtomObj {
 public:
  int SetAttribute(const char* name, const char* value, bool loading) override;
  const char* GetObjectKind() const override { return "offset"; }
  void AppendItems(std::vector<RichTextItem>* items) const override;

 private:
  int length_ = 0;
};

class IVwRichtextContainerWnd {
 public:
  virtual ~IVwRichtextContainerWnd() = default;
  virtual size_t GetObjectCount() const = 0;
  virtual IVwRichtextObj* GetObjectAt(size_t index) const = 0;
};

// The "richtext2" element. "checkdcvieworg" and "broadcaststate" are kept; with
// "broadcaststate" the window's own hover state shows on every clickable object.
class CVwRichText2Wnd : public CVwWindow, public IVwRichtextContainerWnd {
 public:
  static constexpr const char* kTag = "richtext2";
  // More objects than this in one element are ignored.
  static constexpr size_t kMaxObjects = 4096;

  const char* GetObjectClass() const override { return kTag; }
  int Load(const TiXmlElement& element) override;
  int SetAttribute(const char* name, const char* value, bool loading) override;
  int ProcessMessage(unsigned message, uintptr_t wparam, intptr_t lparam, intptr_t* result) override;
  void SetCursor() override;

  size_t GetObjectCount() const override { return objects_.size(); }
  IVwRichtextObj* GetObjectAt(size_t index) const override;
  int hovered_object() const { return hovered_; }
  int check_dc_view_org() const { return check_dc_view_org_; }
  int broadcast_state() const { return broadcast_state_; }
  // Lays the objects out in the current rectangle and records each text object's pieces.
  RichTextLayout LayOutNow();

 private:
  std::unique_ptr<IRichTextGraphics> MakeGraphics() const;
  void Paint(IVwCanvas& canvas);
  // Index of the clickable text object under the point, or -1.
  int ObjectAt(const VwPoint& point);
  void RedrawObject(int index);

  std::vector<std::unique_ptr<CVwRichAtomObj>> objects_;
  int check_dc_view_org_ = 0;
  int broadcast_state_ = 0;
  bool laid_out_ = false;
  int hovered_ = -1;
  int pressed_ = -1;
};

}  // namespace kbase

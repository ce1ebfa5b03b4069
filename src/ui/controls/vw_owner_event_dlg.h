#pragma once
// "ownereventdlg": a container whose children report their mouse events to it (it is
// the event listener of every child it loads); derived containers act on them.
// "sliderviewex": a slider built from its children: the last child is the thumb, placed
// along the container's width at "current_value" / "max_value"; a press or release on
// any child or on the container moves the value there, in steps of "step_value", and the
// wheel (with "enable_mousewhell") moves it by one step. Changes are offered to the host
// as view notification 11 and may be refused.
#include "ui/vw_dialog.h"

namespace kbase {

class CVwOwnerEventDlg : public CVwDialog, public IVwWindowEventListener {
 public:
  static constexpr const char* kTag = "ownereventdlg";
  const char* GetObjectClass() const override { return kTag; }
  int LoadChildren(const TiXmlElement* first) override;
  void OnEvent(unsigned message, CVwWindow* element, const VwRect& rect, VwPoint point) override;

  // What the derived container does with a child's event; nothing here.
  virtual void OnChildEvent(unsigned message, CVwWindow* element, VwPoint point) {}
  int events_seen() const { return events_seen_; }

 private:
  int events_seen_ = 0;
};

class CVwSliderViewEx : public CVwOwnerEventDlg {
 public:
  static constexpr const char* kTag = "sliderviewex";
  const char* GetObjectClass() const override { return kTag; }
  int SetAttribute(const char* name, const char* value, bool loading) override;
  int ProcessMessage(unsigned message, uintptr_t wparam, intptr_t lparam, intptr_t* result) override;
  void OnChildEvent(unsigned message, CVwWindow* element, VwPoint point) override;
  void RepositionChildren() override;

  int current_value() const { return current_; }
  int ValueAt(int x) const;

 private:
  void Change(int value);
  int current_ = 0;
  int max_ = 100;
  int step_ = 1;
  int wheel_ = 0;
};

}  // namespace kbase

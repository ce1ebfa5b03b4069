#include "ui/controls/vw_dialog_button.h"

#include "ui/controls/vw_control_util.h"
#include "ui/vw_canvas.h"
#include "ui/vw_style.h"

namespace kbase {

int CVwDialogButton::Load(const TiXmlElement& element) {
  CVwDialog::Load(element);
  set_only_draw_child(true);
  return 1;
}

void CVwDlgBtnEx2::DrawBackground(IVwCanvas& canvas) {
  const VwStyle& style = Style();
  if (style.skin.empty()) {
    CVwDialogButton::DrawBackground(canvas);
    return;
  }
  canvas.DrawSkin(style.skin, rect(), ButtonStateIndex(state()), dpi(), 255);
}

}  // namespace kbase

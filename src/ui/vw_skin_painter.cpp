#include "ui/vw_skin_painter.h"

#include <atomic>

#include "ui/png_skin.h"
#include "ui/vw_skin_pool.h"

namespace kbase {
namespace {
std::atomic<IVwSkinPainter*> g_default_painter{nullptr};
}  // namespace

VwPoolSkinPainter& VwPoolSkinPainter::Instance() {
  static VwPoolSkinPainter painter;
  return painter;
}

bool VwPoolSkinPainter::GetSkinImageSize(const char* skin, SIZE* size) {
  if (skin == nullptr || size == nullptr) return false;
  CVwSkinBase* found = VwSkinPool::Instance().Find(skin);
  if (found == nullptr || !found->EnsureLoaded()) return false;
  SIZE frame = found->GetSkinSize();
  // A framed "png" skin answers one frame; the painter works on the whole picture.
  if (auto* png = dynamic_cast<CVwPngSkin*>(found)) frame.cx *= png->frame_count();
  if (frame.cx <= 0 || frame.cy <= 0) return false;
  *size = frame;
  return true;
}

void VwPoolSkinPainter::DrawSkinStretch(const char* skin, HDC dc, const RECT& destination, const RECT& source) {
  if (skin == nullptr) return;
  if (CVwSkinBase* found = VwSkinPool::Instance().Find(skin)) found->DrawStretch(dc, destination, source);
}

void SetDefaultSkinPainter(IVwSkinPainter* painter) { g_default_painter = painter; }

IVwSkinPainter* DefaultSkinPainter() {
  IVwSkinPainter* painter = g_default_painter;
  return painter != nullptr ? painter : &VwPoolSkinPainter::Instance();
}

}  // namespace kbase

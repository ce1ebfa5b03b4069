#include "ui/vw_skin_painter.h"

#include <atomic>

namespace kbase {
namespace {
std::atomic<IVwSkinPainter*> g_default_painter{nullptr};
}  // namespace

void SetDefaultSkinPainter(IVwSkinPainter* painter) { g_default_painter = painter; }

IVwSkinPainter* DefaultSkinPainter() { return g_default_painter; }

}  // namespace kbase

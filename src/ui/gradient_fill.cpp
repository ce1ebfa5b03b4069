#include "ui/gradient_fill.h"

#include "common/win/scoped_module.h"
#include "ui/gdi_owner.h"

namespace kbase {
namespace {

using GradientFillFn = BOOL(WINAPI*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);

GradientFillFn GradientFillFunction() {
  // Loaded once and kept for the process.
  static ScopedModule library(::LoadLibraryW(L"msimg32.dll"));
  static GradientFillFn function = library.Function<GradientFillFn>("GradientFill");
  return function;
}

TRIVERTEX Vertex(LONG x, LONG y, VwColour colour) {
  TRIVERTEX vertex{};
  vertex.x = x;
  vertex.y = y;
  vertex.Red = static_cast<COLOR16>((colour & 0xFF) << 8);
  vertex.Green = static_cast<COLOR16>(((colour >> 8) & 0xFF) << 8);
  vertex.Blue = static_cast<COLOR16>(((colour >> 16) & 0xFF) << 8);
  vertex.Alpha = 0xFF00;
  return vertex;
}

}  // namespace

bool FillGradient(HDC dc, const RECT& rect, VwColour from, VwColour to, bool vertical) {
  GradientFillFn gradient = GradientFillFunction();
  if (gradient == nullptr || rect.right <= rect.left || rect.bottom <= rect.top) return false;
  TRIVERTEX vertices[2] = {Vertex(rect.left, rect.top, from), Vertex(rect.right, rect.bottom, to)};
  GRADIENT_RECT mesh{0, 1};
  return gradient(dc, vertices, 2, &mesh, 1, vertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H) != FALSE;
}

void FillSolid(HDC dc, const RECT& rect, VwColour colour) {
  ScopedBrush brush(::CreateSolidBrush(colour & 0xFFFFFF));
  if (brush.valid()) ::FillRect(dc, &rect, brush.get());
}

}  // namespace kbase

#pragma once
// Two-colour gradients through msimg32's GradientFill, looked up at run time.
#include <windows.h>

#include "ui/vw_attribute_text.h"

namespace kbase {

// Fills the rectangle with a gradient from `from` to `to`, top to bottom when vertical,
// else left to right; false when GradientFill is not available.
bool FillGradient(HDC dc, const RECT& rect, VwColour from, VwColour to, bool vertical);
// A solid fill.
void FillSolid(HDC dc, const RECT& rect, VwColour colour);

}  // namespace kbase

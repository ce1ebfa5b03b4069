#pragma once
// The image objects a "memimage" may draw: the program registers the address of each
// image it lends to a layout and withdraws it before the image goes. Guarded by the
// element registry's lock like the other process-wide tables of the tree.
#include <cstdint>

namespace kbase {

void RegisterMemoryImage(uintptr_t image);
void UnregisterMemoryImage(uintptr_t image);
bool IsRegisteredMemoryImage(uintptr_t image);

}  // namespace kbase

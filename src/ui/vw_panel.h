#pragma once
// A container that a host holds as one of its panels (header, body, footer).
#include "ui/vw_container_wnd.h"

namespace kbase {

class CVwPanel : public CVwContainerWnd {};

}  // namespace kbase

#pragma once
// Resource ids shared by the resource script and the code.
#define IDI_TRAY 102
#define IDI_WINDOW 200

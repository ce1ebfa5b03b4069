#pragma once
// Resource ids shared by the resource script and the code.
#define IDI_TRAY 102
#define IDI_WINDOW 200

// Built-in tables of the skinned windows (type XML); their pictures are type PNG under
// the numbers the skin table gives.
#define IDR_SKIN_TABLE 10000
#define IDR_STYLE_TABLE 10001
#define IDR_STRING_TABLE 10002

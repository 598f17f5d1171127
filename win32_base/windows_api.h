#pragma once
// The one way the Win32 side includes the system headers, so every file sees the same API level.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
// The common controls' notifications (custom draw); their functions are not linked.
#include <commctrl.h>

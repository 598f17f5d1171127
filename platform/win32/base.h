#pragma once
// What both programs share on Windows (UTF-16 text, owned handles, system messages), named
// within the Win32 side as its own.
#include "win32_base/handles.h"
#include "win32_base/system_message.h"
#include "win32_base/text.h"

namespace platform::win32 {
using namespace ::win32_base;
} // namespace platform::win32

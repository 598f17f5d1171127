#pragma once
// The Windows boundary of the tool's UTF-8 strings: paths in the form that has no length limit,
// and the text of a system error. The conversion and the system's words are the shared base's.
#include <string>

#include "win32_base/text.h"

namespace bif::win32 {

using win32_base::narrow;
using win32_base::widen;

// The absolute form of a UTF-8 path with the "\\?\" prefix, which lifts the 260-character limit
// (and with it the system's own clean-up of the path, so it is made absolute and clean here).
std::wstring system_path(const std::string& utf8);
// The absolute, clean form of a path, without that prefix.
std::wstring full_path(const std::wstring& path);

// The system's message for an error code (GetLastError), without the trailing line break.
std::string error_text(unsigned long code);

} // namespace bif::win32

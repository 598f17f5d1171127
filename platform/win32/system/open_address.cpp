#include "platform/win32/system/open_address.h"

#include <algorithm>
#include <cctype>

#include "platform/win32/base.h"
#include "platform/failure.h"
#include "platform/win32/system/system_library.h"

#include <shellapi.h>

namespace platform::win32 {
namespace {

bool starts_with_ignoring_case(const std::string& text, std::string_view head)
{
    return text.size() >= head.size() && std::equal(head.begin(), head.end(), text.begin(), [](char h, char t) {
               return h == std::tolower(static_cast<unsigned char>(t));
           });
}

// The shell's handlers may use COM; the apartment is set up for the call only.
class ComApartment {
public:
    ComApartment() : ole_(load_system_library(L"ole32.dll"))
    {
        using Init = HRESULT(WINAPI*)(void*, DWORD);
        if (const auto init = module_function<Init>(ole_, "CoInitializeEx"))
            entered_ = SUCCEEDED(init(nullptr, 0x2 /* apartment threaded */ | 0x4 /* no OLE1 DDE */));
    }
    ~ComApartment()
    {
        using Uninit = void(WINAPI*)();
        if (entered_)
            if (const auto uninit = module_function<Uninit>(ole_, "CoUninitialize"))
                uninit();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    Module ole_;
    bool entered_ = false;
};

} // namespace

bool is_web_address(const std::string& address)
{
    return starts_with_ignoring_case(address, "http://") || starts_with_ignoring_case(address, "https://") ||
           starts_with_ignoring_case(address, "mailto:");
}

void open_address(const std::string& address)
{
    if (!is_web_address(address))
        throw Failure("Not a web address: " + address);
    const Module shell = load_system_library(L"shell32.dll");
    using ShellExecuteExFn = BOOL(WINAPI*)(SHELLEXECUTEINFOW*);
    const auto execute = module_function<ShellExecuteExFn>(shell, "ShellExecuteExW");
    if (!execute)
        throw Failure("Cannot open the address " + address);
    const ComApartment apartment;
    const std::wstring wide = widen(address);
    // The shell may hand the address on to a handler that starts after the call returns; NOASYNC
    // makes the call wait for it, so shell32 and COM are let go only once it is done. The caller
    // reports a failure itself, so the shell shows none.
    SHELLEXECUTEINFOW request{};
    request.cbSize = sizeof request;
    request.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    request.lpVerb = L"open";
    request.lpFile = wide.c_str();
    request.nShow = SW_SHOWNORMAL;
    if (!execute(&request))
        throw Failure("Cannot open the address " + address);
}

} // namespace platform::win32

// The yardsticks for Vintrel's CPU use, a window of the same size with a 25 ms timer. Plain, it
// does nothing at a tick. With "banner" on its command line it does the least that moves a banner:
// the text is drawn once into a kept bitmap, and each tick copies the strip two pixels further
// to the window, then handles what is pending, as Vintrel's tick does.
#include <windows.h>

#include <cwchar>

namespace {

constexpr int width = 153, height = 320, strip_top = 288, strip_height = 20;

struct Banner {
    HDC dc = nullptr;
    HFONT font = nullptr;
    HBITMAP strip = nullptr;
    int text_width = 0;
    int offset = 0;
};
Banner banner;

void make_banner(HWND window)
{
    const HDC screen = GetDC(window);
    banner.dc = CreateCompatibleDC(screen);
    banner.font = CreateFontW(-16, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                              CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"MS Sans Serif");
    SelectObject(banner.dc, banner.font);
    const wchar_t text[] = L"CLICK HERE FOR INFORMATION";
    SIZE extent{};
    GetTextExtentPoint32W(banner.dc, text, static_cast<int>(std::wcslen(text)), &extent);
    banner.text_width = extent.cx;
    // Blank window widths on both sides, so that any offset copies a full strip.
    banner.strip = CreateCompatibleBitmap(screen, width + extent.cx + width, strip_height);
    SelectObject(banner.dc, banner.strip);
    ReleaseDC(window, screen);
    RECT all{0, 0, width + extent.cx + width, strip_height};
    SetBkColor(banner.dc, RGB(0, 0, 0));
    ExtTextOutW(banner.dc, 0, 0, ETO_OPAQUE, &all, nullptr, 0, nullptr);
    SetTextColor(banner.dc, RGB(0, 0xC0, 0));
    SetBkMode(banner.dc, TRANSPARENT);
    TextOutW(banner.dc, width, 0, text, static_cast<int>(std::wcslen(text)));
}

void move_banner(HWND window)
{
    banner.offset = (banner.offset + 2) % (banner.text_width + width);
    const HDC dc = GetDC(window);
    BitBlt(dc, 0, strip_top, width, strip_height, banner.dc, banner.offset, 0, SRCCOPY);
    ReleaseDC(window, dc);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam)); // for the loop in wWinMain
            return;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM w, LPARAM l)
{
    switch (message) {
    case WM_TIMER:
        if (banner.dc)
            move_banner(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, w, l);
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR command_line, int show)
{
    const bool with_banner = std::wcsstr(command_line, L"banner") != nullptr;
    WNDCLASSW type{};
    type.style = with_banner ? CS_OWNDC : 0;
    type.lpfnWndProc = procedure;
    type.hInstance = instance;
    type.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    type.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    type.lpszClassName = L"TimerWindow";
    RegisterClassW(&type);

    RECT frame{0, 0, width, height};
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    HWND window = CreateWindowW(L"TimerWindow", with_banner ? L"Banner window" : L"Timer window", WS_OVERLAPPEDWINDOW,
                                CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                                nullptr, nullptr, instance, nullptr);
    if (with_banner)
        make_banner(window);
    ShowWindow(window, show);
    SetTimer(window, 1, 25, nullptr);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    if (banner.dc) {
        DeleteDC(banner.dc);
        DeleteObject(banner.strip);
        DeleteObject(banner.font);
    }
    return 0;
}

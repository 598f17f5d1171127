// Entry point of biftool. On Windows the command line arrives as UTF-16 (wmain, -municode) and is
// turned into UTF-8 here; file names go back to UTF-16 only where files are opened (text_util.cpp).
#include <cstdio>
#include <string>
#include <vector>

#include "tool.h"

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include "win32_path.h"

namespace {

bool is_console(HANDLE h)
{
    DWORD mode;
    return h != nullptr && h != INVALID_HANDLE_VALUE && GetConsoleMode(h, &mode);
}

// True when this process is the only one attached to its console, i.e. Windows made the console
// for it (Vintrel starting biftool, a double-click in Explorer): the window would vanish the moment
// biftool ends. A console shared with cmd.exe, a pipe or a file as stdin never waits.
// BIFTOOL_NO_WAIT (any value) turns the wait off, for automated runs that give biftool a console
// of its own (e.g. a test starting it with CREATE_NEW_CONSOLE under Wine with a display).
bool owns_console_window()
{
    if (GetEnvironmentVariableW(L"BIFTOOL_NO_WAIT", nullptr, 0) > 0)
        return false;
    if (!is_console(GetStdHandle(STD_INPUT_HANDLE)))
        return false;
    DWORD ids[2];
    return GetConsoleProcessList(ids, 2) == 1;
}

void wait_for_key()
{
    HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
    std::fputs("\nPress any key to close this window.\n", stdout);
    std::fflush(stdout);
    FlushConsoleInputBuffer(in);
    for (;;) {
        INPUT_RECORD rec;
        DWORD got = 0;
        if (!ReadConsoleInputW(in, &rec, 1, &got) || got == 0)
            return;
        if (rec.EventType == KEY_EVENT && rec.Event.KeyEvent.bKeyDown)
            return;
    }
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    bool own_window = owns_console_window();
    bool terminal = is_console(GetStdHandle(STD_OUTPUT_HANDLE));
    UINT old_cp = GetConsoleOutputCP();
    if (terminal)
        SetConsoleOutputCP(CP_UTF8);
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.push_back(bif::win32::narrow(argv[i]));
    bif::TextSink out(stdout), err(stderr);
    int rc = bif::run_tool(args, bif::ToolIo{out, err, terminal});
    out.flush();
    err.flush();
    if (own_window)
        wait_for_key();
    if (terminal)
        SetConsoleOutputCP(old_cp);
    return rc;
}

#else
#include <csignal>
#include <unistd.h>

int main(int argc, char** argv)
{
    // A file-size limit (ulimit -f) must show up as a failed write that is reported and cleaned up,
    // not as a signal that kills the process in the middle of a file.
    std::signal(SIGXFSZ, SIG_IGN);
    std::vector<std::string> args(argv + 1, argv + argc);
    bif::TextSink out(stdout), err(stderr);
    return bif::run_tool(args, bif::ToolIo{out, err, isatty(STDOUT_FILENO) == 1});
}
#endif

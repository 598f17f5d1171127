#pragma once
// Drives the real Vintrel.exe, started in a throw-away game folder, with real input, and reads
// back its windows and what the screen shows. The programs under test come from the build.
#include <string>
#include <vector>

#include "win32/support.h"

namespace e2e {

// A program of the build, as Wine names the Unix path.
std::string program(const char* unix_path);

// A game: chitin.key at the top (unless the game is generated), and data\ with the files.
struct Game {
    test::TempFolder root;
    std::string data = root.file("data");
    explicit Game(const std::string& name, bool with_key = true);
    // Vintrel.exe beside the archives, with `tool` as biftool.exe (none if empty).
    void install(const std::string& tool);
};

class Vintrel {
public:
    explicit Vintrel(const Game& game);
    ~Vintrel();
    Vintrel(const Vintrel&) = delete;
    Vintrel& operator=(const Vintrel&) = delete;

    HWND main = nullptr, list = nullptr, check = nullptr;
    // A visible top-level window of the program with this caption (of the class, if given), once it shows.
    HWND wait_window(const std::string& caption, const wchar_t* window_class = nullptr) const;
    HWND message_box() const; // any, now

private:
    PROCESS_INFORMATION process_{};
};

std::string message_text(HWND box);
void press_ok(HWND box);
std::vector<std::string> list_items(HWND list);

// Real input, in client pixels of a window.
void bring_to_front(HWND window);
void move_to(HWND window, int x, int y);
void click(HWND window, int x, int y, int times = 1);
void click_item(HWND list, int index, int times);
void press_keys(std::vector<WORD> keys); // down in order, up in reverse

} // namespace e2e

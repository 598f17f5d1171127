#pragma once
// Finding, reading and driving another process's windows, with real input where it matters.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace e2e {

// Polls `done` until it holds or `timeout_ms` pass; returns whether it held.
bool wait_until(const std::function<bool()>& done, int timeout_ms);

std::string class_name(HWND window);
std::string text(HWND window);

// The process's visible top-level windows, optionally only those of one caption or class.
std::vector<HWND> top_windows(DWORD process_id);
HWND find_top_window(DWORD process_id, const std::string& caption, const std::string& class_name = {});
std::vector<HWND> children(HWND parent);
// The first child of the class (compared ignoring case), or nullptr.
HWND find_child(HWND parent, const std::string& class_name);

std::vector<std::string> list_items(HWND list_box);
// The item's middle in screen coordinates.
POINT list_item_point(HWND list_box, int index);

POINT client_to_screen(HWND window, int x, int y);
RECT screen_client_rect(HWND window);
SIZE client_size(HWND window);

void bring_to_front(HWND window);
void move_pointer(POINT at);
void click(POINT at);
void double_click(POINT at);

} // namespace e2e

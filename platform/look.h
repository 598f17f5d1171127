#pragma once
#include <cstdint>
#include <string>

namespace platform {

// 0x00BBGGRR, or a system colour: the high bit set and the system colour index below it,
// resolved by the platform when it draws.
using Color = std::uint32_t;

namespace colors {
constexpr Color black = 0x000000;
constexpr Color system(int index) { return 0x80000000u | static_cast<Color>(index); }
constexpr bool is_system(Color c) { return (c & 0x80000000u) != 0; }
constexpr int system_index(Color c) { return static_cast<int>(c & 0xFFu); }
// The indices are those of the Windows colour scheme.
constexpr Color window = system(5);
constexpr Color window_text = system(8);
constexpr Color button_face = system(15);
constexpr Color button_text = system(18);
} // namespace colors

struct Font {
    std::string name = "MS Sans Serif";
    float points = 8.25f;
    bool bold = false;
    bool underline = false;
    bool operator==(const Font&) const = default;
};

// The face every window of the program is laid out in.
inline Font sans_serif(float points, bool bold = false) { return Font{"MS Sans Serif", points, bold, false}; }

enum class Alignment { left, center, right };
enum class BackStyle { transparent, opaque };
enum class Border { none, single };
// The program's own pointer image, or the system arrow.
enum class Pointer { arrow, program };

// Positions and sizes in twips (1/1440 inch).
struct Rect {
    float left = 0, top = 0, width = 0, height = 0;
    float right() const { return left + width; }
    float bottom() const { return top + height; }
    bool contains(float x, float y) const { return x >= left && x < right() && y >= top && y < bottom(); }
    bool operator==(const Rect&) const = default;
};

struct Size {
    float width = 0, height = 0;
};

} // namespace platform

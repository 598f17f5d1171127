#pragma once
// Small shared pieces of the BIF tool: fixed-size integers, little-endian access, the error type.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>

namespace bif {

using u8 = std::uint8_t;
using u16 = std::uint16_t;
using u32 = std::uint32_t;
using u64 = std::uint64_t;

// Every problem with input or output is reported as an Error whose text names the file and what
// is wrong; the tool prints it and exits non-zero.
struct Error : std::runtime_error {
    using std::runtime_error::runtime_error;
};

inline u16 le16(const unsigned char* p) { return static_cast<u16>(p[0] | (p[1] << 8)); }
inline u32 le32(const unsigned char* p)
{
    return static_cast<u32>(p[0]) | (static_cast<u32>(p[1]) << 8) | (static_cast<u32>(p[2]) << 16) |
           (static_cast<u32>(p[3]) << 24);
}
inline void put16(unsigned char* p, u16 v)
{
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}
inline void put32(unsigned char* p, u32 v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<unsigned char>(v >> (8 * i));
}

// "0x03F4"
std::string hex16(u16 v);
// Human-readable byte count: "1234 bytes" / "1.2 MiB", used in messages.
std::string bytes_text(u64 n);

} // namespace bif

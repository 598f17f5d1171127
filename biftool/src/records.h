#pragma once
// Sizes of the on-disk records, shared by the readers and the writers of biftool/gen.
#include <cstddef>

namespace bif {

inline constexpr std::size_t kBiffHeaderSize = 20;       // "BIFFV1  ", file count, tileset count, table offset
inline constexpr std::size_t kBiffFileEntrySize = 16;    // locator, offset, size, type, unused
inline constexpr std::size_t kBiffTilesetEntrySize = 20; // locator, offset, tiles, tile size, type, unused
inline constexpr std::size_t kBifV10HeaderSize = 12;     // "BIF V1.0", name length (then name, sizes)
inline constexpr std::size_t kBifV10SizesSize = 8;       // uncompressed, compressed length
inline constexpr std::size_t kBifcHeaderSize = 12;       // "BIFCV1.0", uncompressed length
inline constexpr std::size_t kBifcBlockHeaderSize = 8;   // uncompressed, compressed length
inline constexpr std::size_t kTisHeaderSize = 24;        // written before a tileset's data
inline constexpr std::size_t kKeyHeaderSize = 24;        // "KEY V1  ", counts, offsets
inline constexpr std::size_t kKeyBifEntrySize = 12;      // length, name offset, name length, flags
inline constexpr std::size_t kKeyResourceEntrySize = 14; // resref, type, locator

} // namespace bif

#pragma once
// Sizes of the on-disk records, shared by the readers and the writers of biftool/gen.
#include <cstddef>

namespace bif {

inline constexpr std::size_t biff_header_size = 20;        // "BIFFV1  ", file count, tileset count, table offset
inline constexpr std::size_t biff_file_entry_size = 16;    // locator, offset, size, type, unused
inline constexpr std::size_t biff_tileset_entry_size = 20; // locator, offset, tiles, tile size, type, unused
inline constexpr std::size_t bif_v10_header_size = 12;     // "BIF V1.0", name length (then name, sizes)
inline constexpr std::size_t bif_v10_sizes_size = 8;       // uncompressed, compressed length
inline constexpr std::size_t bifc_header_size = 12;        // "BIFCV1.0", uncompressed length
inline constexpr std::size_t bifc_block_header_size = 8;   // uncompressed, compressed length
inline constexpr std::size_t tis_header_size = 24;         // written before a tileset's data
inline constexpr std::size_t key_header_size = 24;         // "KEY V1  ", counts, offsets
inline constexpr std::size_t key_bif_entry_size = 12;      // length, name offset, name length, flags
inline constexpr std::size_t key_resource_entry_size = 14; // resref, type, locator

} // namespace bif

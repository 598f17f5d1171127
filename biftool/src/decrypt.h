#pragma once
// The games keep some text resources (2DA and IDS tables) XOR-encrypted: two bytes FF FF, then the
// text XORed with a fixed 64-byte key repeated. Extraction writes them as plain text on request.
#include <cstddef>

#include "common.h"

namespace bif {

inline constexpr std::size_t encrypted_marker_size = 2;

// Whether a resource of this type may be stored encrypted.
bool may_be_encrypted(u16 type);
// Whether the resource's first bytes mark it encrypted.
bool starts_encrypted(const unsigned char* p, std::size_t n);
// Decrypts text in place; `pos` is the offset of p[0] in the text after the marker.
void decrypt_text(unsigned char* p, std::size_t n, u64 pos);

} // namespace bif

// The fields of part files as they lie on disk: little-endian numbers, and
// texts behind a length byte in Windows-1252. The length byte comes from
// someone else's file, so a text never reads past the room of its field.
#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>

#include "core/TextEncoding.h"

// Numbers are copied as they lie, which is right only on a little-endian machine.
static_assert(std::endian::native == std::endian::little,
              "the part files' numbers are little-endian and are read without swapping");

// The number stored `At` bytes into a block; a field past the block's end does not compile.
template <class T, size_t At, size_t N>
T LittleEndianAt(std::span<const uint8_t, N> block) {
    static_assert(At + sizeof(T) <= N, "the field lies past the end of its block");
    T value;
    std::memcpy(&value, block.data() + At, sizeof value);
    return value;
}

// The length-prefixed text `At` bytes into a block, whose field has room for
// `Room` characters, in UTF-8.
template <size_t At, size_t Room, size_t N>
std::string LengthTextAt(std::span<const uint8_t, N> block) {
    static_assert(At + 1 + Room <= N, "the field lies past the end of its block");
    const size_t length = std::min<size_t>(block[At], Room);
    return Cp1252ToUtf8(
        std::string_view(reinterpret_cast<const char*>(block.data() + At + 1), length));
}

// True when the block starts with exactly `text` behind its length byte, compared byte for byte.
template <size_t N>
bool HasLengthText(std::span<const uint8_t, N> block, std::string_view text) {
    return text.size() < N && block[0] == text.size() &&
           std::memcmp(block.data() + 1, text.data(), text.size()) == 0;
}

// Stores a number at `at`, little-endian.
template <class T>
void PutLittleEndianAt(uint8_t* at, T value) {
    std::memcpy(at, &value, sizeof value);
}

// Stores a UTF-8 text behind its length byte, cut to the field's room.
inline void PutLengthTextAt(uint8_t* at, size_t room, std::string_view utf8) {
    std::string bytes = Utf8ToCp1252(utf8);
    if (bytes.size() > room) bytes.resize(room);
    at[0] = static_cast<uint8_t>(bytes.size());
    std::memcpy(at + 1, bytes.data(), bytes.size());
}

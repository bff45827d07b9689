// The fields of part files as they lie on disk: little-endian numbers, and
// texts behind a length byte in Windows-1252. The length byte comes from
// someone else's file, so a text never reads past the room of its field.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "core/Texts.h"

// The number stored at `at`; the formats are little-endian, as are the machines we build for.
template <class T>
T LittleEndianAt(const uint8_t* at) {
    T value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

// The length-prefixed text at `at`, whose field has room for `room` characters, in UTF-8.
inline std::string LengthTextAt(const uint8_t* at, size_t room) {
    const size_t length = std::min<size_t>(at[0], room);
    return Cp1252ToUtf8(std::string_view(reinterpret_cast<const char*>(at + 1), length));
}

// True when the field at `at` holds exactly `text` behind its length byte, compared byte for byte.
inline bool HasLengthText(const uint8_t* at, std::string_view text) {
    return at[0] == text.size() && std::memcmp(at + 1, text.data(), text.size()) == 0;
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

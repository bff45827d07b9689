// The 104-byte header that opens the first part of a native set, and its
// codec. Offsets and rooms are the format's; texts are Windows-1252 on disk.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

inline constexpr size_t kHeaderSize = 104;
inline constexpr char kNativeSignature[] = "Parcelwise";
inline constexpr char kNativeVersion[] = "1.1";
inline constexpr size_t kOriginalNameRoom = 50;

// The header of the first part, in memory. Texts are UTF-8 here and
// Windows-1252 on disk, each behind its length byte.
struct NativeHeader {
    std::string signature;     // "Parcelwise"
    std::string version;       // "1.1"
    double splitDate = 0;      // local date of the split, a whole day count
    std::string originalName;  // at most 50 characters
    uint8_t hasDigests = 0;
    int32_t partCount = 0;
    int64_t originalSize = 0;
};

std::array<uint8_t, kHeaderSize> EncodeHeader(const NativeHeader& header);
NativeHeader DecodeHeader(std::span<const uint8_t, kHeaderSize> bytes);
// The five rules a readable header follows.
bool IsValidHeader(const NativeHeader& header);
// True when the bytes start with the mark of a version 1.0 first part.
bool HasLegacyMark(const uint8_t* bytes, size_t size);

// The original name as a header stores it: its first 50 characters, as they
// read back from Windows-1252, made a plain file name. The joiner proposes
// that name for the file it writes, on any system.
std::string HeaderName(std::string_view name);

#include "formats/native/NativeHeader.h"

#include <cstring>

#include "core/TextEncoding.h"
#include "formats/native/DiskFields.h"
#include "platform/Fs.h"

namespace {

constexpr char kLegacyMark[] = "Corvane(c) - 2004";

constexpr size_t kSignatureAt = 0, kSignatureRoom = 20;
constexpr size_t kVersionAt = 21, kVersionRoom = 10;
constexpr size_t kDateAt = 32;
constexpr size_t kNameAt = 40;
constexpr size_t kDigestFlagAt = 91;
constexpr size_t kCountAt = 92;
constexpr size_t kSizeAt = 96;

}  // namespace

std::array<uint8_t, kHeaderSize> EncodeHeader(const NativeHeader& header) {
    std::array<uint8_t, kHeaderSize> bytes{};
    PutLengthTextAt(&bytes[kSignatureAt], kSignatureRoom, header.signature);
    PutLengthTextAt(&bytes[kVersionAt], kVersionRoom, header.version);
    PutLittleEndianAt(&bytes[kDateAt], header.splitDate);
    PutLengthTextAt(&bytes[kNameAt], kOriginalNameRoom, header.originalName);
    bytes[kDigestFlagAt] = header.hasDigests;
    PutLittleEndianAt(&bytes[kCountAt], header.partCount);
    PutLittleEndianAt(&bytes[kSizeAt], header.originalSize);
    return bytes;
}

NativeHeader DecodeHeader(std::span<const uint8_t, kHeaderSize> bytes) {
    NativeHeader header;
    header.signature = LengthTextAt<kSignatureAt, kSignatureRoom>(bytes);
    header.version = LengthTextAt<kVersionAt, kVersionRoom>(bytes);
    header.splitDate = LittleEndianAt<double, kDateAt>(bytes);
    header.originalName = LengthTextAt<kNameAt, kOriginalNameRoom>(bytes);
    header.hasDigests = bytes[kDigestFlagAt];
    header.partCount = LittleEndianAt<int32_t, kCountAt>(bytes);
    header.originalSize = LittleEndianAt<int64_t, kSizeAt>(bytes);
    return header;
}

bool IsValidHeader(const NativeHeader& header) {
    return header.signature == kNativeSignature && header.version == kNativeVersion &&
           !header.originalName.empty() && header.partCount > 1 && header.originalSize > 0;
}

bool HasLegacyMark(const uint8_t* bytes, size_t size) {
    constexpr size_t length = sizeof kLegacyMark - 1;
    return size > length && bytes[0] == length && std::memcmp(bytes + 1, kLegacyMark, length) == 0;
}

std::string HeaderName(std::string_view name) {
    return platform::SafeFileName(Cp1252ToUtf8(Utf8ToCp1252(Utf8Left(name, kOriginalNameRoom))));
}

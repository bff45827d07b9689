// The header of a recovery part: what code the part belongs to, and the size,
// digest and name of every shard of the set, data parts first. Its layout is
// docs/recovery-format.md's; every number is little-endian.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "formats/native/md5.h"
#include "formats/recovery/GaloisField.h"

namespace recovery {

inline constexpr char kSignature[] = "PCW-RECOVERY";  // then zeros, to 16 bytes
// The version names the code's field, the layout being the same: version 1,
// GF(2^8), is what sets of 256 files at most keep, and what readers made
// before larger sets refuse version 2 by its number.
inline constexpr uint16_t kByteFieldVersion = 1;
inline constexpr uint16_t kWordFieldVersion = 2;
inline constexpr size_t kFixedBytes = 64;  // before the shard table
inline constexpr size_t kChecksumBytes = 16;
// Data and recovery shards together: the 999 parts of the largest native set
// and its recovery parts.
inline constexpr int kMostShards = 999 + 50;
inline constexpr int kMostRecoveryParts = 50;
inline constexpr size_t kLongestName = 1024;  // bytes of UTF-8
// No header that the writer makes is larger: the readers refuse to read more.
inline constexpr size_t kLargestHeader =
    kFixedBytes + kMostShards * (8 + 16 + 2 + kLongestName) + kChecksumBytes;

struct ShardEntry {
    int64_t bytes = 0;
    Digest digest{};
    std::string name;  // a plain file name, in the recovery part's folder
};

struct RecoveryHeader {
    Field field = Field::Gf256;
    int dataParts = 0;
    int recoveryParts = 0;
    int index = 0;  // of this recovery part, from 0
    int64_t shardBytes = 0;
    int64_t totalBytes = 0;
    std::vector<ShardEntry> shards;  // dataParts data entries, then recoveryParts
    Digest setId{};                  // what every recovery part of one set shares

    // Where the payload starts in the part: the header's own size.
    int64_t HeaderBytes() const;
};

enum class HeaderFault {
    None,
    NotRecovery,   // no signature: not a recovery part at all
    OtherVersion,  // a signature, of a layout this program does not read
    Damaged,       // its checksum or its fields do not hold together
};

// The bytes of the header, its set identifier and checksum computed.
std::vector<uint8_t> EncodeHeader(RecoveryHeader header);
// The size the first kFixedBytes bytes announce for the whole header; 0 when
// they are no header of a version this program reads, or announce more than
// kLargestHeader.
size_t AnnouncedHeaderBytes(std::span<const uint8_t> fixed);
// The header read back from the bytes at the start of a part (the whole
// announced header, or more), every field checked.
struct DecodedHeader {
    std::optional<RecoveryHeader> header;
    HeaderFault fault = HeaderFault::None;
    int version = 0;  // what an OtherVersion part announces
};
DecodedHeader DecodeHeader(std::span<const uint8_t> bytes);

// Two headers of the same set, whatever recovery part each one heads.
bool SameSet(const RecoveryHeader& a, const RecoveryHeader& b);

}  // namespace recovery

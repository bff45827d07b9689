#include "formats/recovery/RecoveryHeader.h"

#include <algorithm>
#include <cstring>
#include <set>
#include <type_traits>

#include "platform/Paths.h"

namespace recovery {

namespace {

// The offsets of the fixed fields.
constexpr size_t kVersionAt = 16, kDataPartsAt = 18, kRecoveryPartsAt = 20, kShardBytesAt = 24,
                 kTotalBytesAt = 32, kHeaderBytesAt = 40, kIndexAt = 44, kSetIdAt = 48;

Digest Md5Of(const uint8_t* bytes, size_t count) {
    MD5Context context;
    MD5Init(context);
    MD5Update(context, bytes, count);
    return MD5Final(context);
}

// The set's identifier: the digest of the code's numbers and of the shard
// table, which do not depend on which recovery part holds them.
Digest SetIdOf(const std::vector<uint8_t>& header) {
    MD5Context context;
    MD5Init(context);
    MD5Update(context, header.data() + kVersionAt, kHeaderBytesAt + 4 - kVersionAt);
    MD5Update(context, header.data() + kFixedBytes, header.size() - kFixedBytes - kChecksumBytes);
    return MD5Final(context);
}

// Stores a number little-endian, a byte at a time.
template <class T>
void Put(std::vector<uint8_t>& bytes, size_t at, T value) {
    using Unsigned = std::make_unsigned_t<T>;
    const auto bits = static_cast<Unsigned>(value);
    for (size_t i = 0; i < sizeof(T); ++i) bytes.at(at + i) = static_cast<uint8_t>(bits >> (8 * i));
}

template <class T>
T Read(std::span<const uint8_t> bytes, size_t at) {
    T value;
    std::memcpy(&value, bytes.data() + at, sizeof value);
    return value;
}

uint16_t VersionOf(Field field) {
    return field == Field::Gf256 ? kByteFieldVersion : kWordFieldVersion;
}

bool IsKnownVersion(uint16_t version) {
    return version == kByteFieldVersion || version == kWordFieldVersion;
}

bool HasSignature(std::span<const uint8_t> bytes) {
    uint8_t expected[16] = {};
    std::memcpy(expected, kSignature, sizeof kSignature - 1);
    return bytes.size() >= 16 && std::memcmp(bytes.data(), expected, 16) == 0;
}

}  // namespace

int64_t RecoveryHeader::HeaderBytes() const {
    int64_t bytes = kFixedBytes + kChecksumBytes;
    for (const ShardEntry& shard : shards) bytes += 8 + 16 + 2 + int64_t(shard.name.size());
    return bytes;
}

std::vector<uint8_t> EncodeHeader(RecoveryHeader header) {
    std::vector<uint8_t> bytes(static_cast<size_t>(header.HeaderBytes()), 0);
    std::memcpy(bytes.data(), kSignature, sizeof kSignature - 1);
    Put<uint16_t>(bytes, kVersionAt, VersionOf(header.field));
    Put<uint16_t>(bytes, kDataPartsAt, static_cast<uint16_t>(header.dataParts));
    Put<uint16_t>(bytes, kRecoveryPartsAt, static_cast<uint16_t>(header.recoveryParts));
    Put<int64_t>(bytes, kShardBytesAt, header.shardBytes);
    Put<int64_t>(bytes, kTotalBytesAt, header.totalBytes);
    Put<uint32_t>(bytes, kHeaderBytesAt, static_cast<uint32_t>(bytes.size()));
    Put<uint16_t>(bytes, kIndexAt, static_cast<uint16_t>(header.index));
    size_t at = kFixedBytes;
    for (const ShardEntry& shard : header.shards) {
        Put<int64_t>(bytes, at, shard.bytes);
        std::copy(shard.digest.begin(), shard.digest.end(), bytes.begin() + at + 8);
        Put<uint16_t>(bytes, at + 24, static_cast<uint16_t>(shard.name.size()));
        std::copy(shard.name.begin(), shard.name.end(), bytes.begin() + at + 26);
        at += 26 + shard.name.size();
    }
    const Digest setId = SetIdOf(bytes);
    std::copy(setId.begin(), setId.end(), bytes.begin() + kSetIdAt);
    const Digest checksum = Md5Of(bytes.data(), bytes.size() - kChecksumBytes);
    std::copy(checksum.begin(), checksum.end(), bytes.end() - kChecksumBytes);
    return bytes;
}

size_t AnnouncedHeaderBytes(std::span<const uint8_t> fixed) {
    if (fixed.size() < kFixedBytes || !HasSignature(fixed) ||
        !IsKnownVersion(Read<uint16_t>(fixed, kVersionAt)))
        return 0;
    const uint32_t announced = Read<uint32_t>(fixed, kHeaderBytesAt);
    if (announced < kFixedBytes + kChecksumBytes || announced > kLargestHeader) return 0;
    return announced;
}

DecodedHeader DecodeHeader(std::span<const uint8_t> bytes) {
    DecodedHeader decoded;
    if (bytes.size() < kFixedBytes || !HasSignature(bytes)) {
        decoded.fault = HeaderFault::NotRecovery;
        return decoded;
    }
    decoded.version = Read<uint16_t>(bytes, kVersionAt);
    if (!IsKnownVersion(uint16_t(decoded.version))) {
        decoded.fault = HeaderFault::OtherVersion;
        return decoded;
    }
    decoded.fault = HeaderFault::Damaged;
    const size_t size = AnnouncedHeaderBytes(bytes);
    if (size == 0 || size > bytes.size()) return decoded;
    const Digest checksum = Md5Of(bytes.data(), size - kChecksumBytes);
    if (std::memcmp(checksum.data(), bytes.data() + size - kChecksumBytes, 16) != 0) return decoded;

    RecoveryHeader h;
    h.field = decoded.version == kByteFieldVersion ? Field::Gf256 : Field::Gf65536;
    h.dataParts = Read<uint16_t>(bytes, kDataPartsAt);
    h.recoveryParts = Read<uint16_t>(bytes, kRecoveryPartsAt);
    h.index = Read<uint16_t>(bytes, kIndexAt);
    h.shardBytes = Read<int64_t>(bytes, kShardBytesAt);
    h.totalBytes = Read<int64_t>(bytes, kTotalBytesAt);
    std::memcpy(h.setId.data(), bytes.data() + kSetIdAt, 16);
    const int shards = h.dataParts + h.recoveryParts;
    if (h.dataParts < 1 || h.recoveryParts < 1 || shards > kMostShards ||
        shards > MostShardsOf(h.field) || h.index >= h.recoveryParts || h.shardBytes <= 0 ||
        h.shardBytes % SymbolBytes(h.field) != 0)
        return decoded;

    size_t at = kFixedBytes;
    const size_t tableEnd = size - kChecksumBytes;
    int64_t dataSum = 0;
    for (int i = 0; i < h.dataParts + h.recoveryParts; ++i) {
        if (at + 26 > tableEnd) return decoded;
        ShardEntry shard;
        shard.bytes = Read<int64_t>(bytes, at);
        std::memcpy(shard.digest.data(), bytes.data() + at + 8, 16);
        const size_t nameBytes = Read<uint16_t>(bytes, at + 24);
        if (nameBytes == 0 || nameBytes > kLongestName || at + 26 + nameBytes > tableEnd)
            return decoded;
        shard.name.assign(reinterpret_cast<const char*>(bytes.data() + at + 26), nameBytes);
        at += 26 + nameBytes;
        // A name from someone else's file must stay a name in the part's folder.
        if (!platform::IsSafeFileName(shard.name) ||
            shard.name.find_first_of("/\\") != std::string::npos)
            return decoded;
        const bool data = i < h.dataParts;
        if (data ? shard.bytes < 0 || shard.bytes > h.shardBytes : shard.bytes != h.shardBytes)
            return decoded;
        if (data) dataSum += shard.bytes;
        h.shards.push_back(std::move(shard));
    }
    if (at != tableEnd || dataSum != h.totalBytes) return decoded;
    // Two shards of one name would have a repair rename one over the other's.
    std::set<std::string> names;
    for (const ShardEntry& shard : h.shards)
        if (!names.insert(platform::FoldCase(shard.name)).second) return decoded;
    const std::vector<uint8_t> copy(bytes.begin(), bytes.begin() + size);
    if (SetIdOf(copy) != h.setId) return decoded;
    decoded.header = std::move(h);
    decoded.fault = HeaderFault::None;
    return decoded;
}

bool SameSet(const RecoveryHeader& a, const RecoveryHeader& b) {
    return a.setId == b.setId && a.field == b.field && a.dataParts == b.dataParts &&
           a.recoveryParts == b.recoveryParts && a.shardBytes == b.shardBytes;
}

}  // namespace recovery

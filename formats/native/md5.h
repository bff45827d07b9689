// MD5 (RFC 1321) and the 32-character upper-case digest texts that native part
// sets store, with the hashing of whole files.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/File.h"

using Digest = std::array<uint8_t, 16>;

struct MD5Context {
    uint32_t state[4];
    uint32_t count[2];  // message length in bits, low word first
    uint8_t buffer[64];
};

void MD5Init(MD5Context& context);
void MD5Update(MD5Context& context, const void* bytes, size_t count);
// Produces the digest and wipes the context.
Digest MD5Final(MD5Context& context);

// Several messages hashed side by side: one MD5Update of its bytes into each
// lane's context. Eight lanes at a time go through the vector unit when the
// processor has AVX2, so eight streams cost about what one to two cost alone;
// a lane of its own, or a context left in the middle of a block, takes the
// scalar code for what the others cannot share. The digests are those of
// MD5Update whatever the code, the lengths and the alignment.
struct MD5Lane {
    MD5Context* context;
    const void* bytes;
    size_t count;
};
enum class MD5LaneCode { Scalar, Avx2 };
// The most lanes the vector code hashes at once.
constexpr size_t kMD5Lanes = 8;
// Avx2 when the processor has it, unless PARCELWISE_NO_AVX2 is set (to
// anything but 0): read once, at the first call.
MD5LaneCode MD5ChosenLaneCode();
// How many messages the chosen code hashes at once on one core: kMD5Lanes or 1.
size_t MD5LanesAtOnce();
// With code Avx2 on a processor without it, the scalar code runs instead.
void MD5UpdateLanes(const MD5Lane* lanes, size_t count, MD5LaneCode code = MD5ChosenLaneCode());

// Two upper-case hexadecimal digits per byte, high nibble first.
std::string DigestToHex(const Digest& digest);

// Called with the running count of bytes hashed; returning false stops the
// hash, which then fails with ECANCELED.
using HashProgressFn = std::function<bool(int64_t bytesHashed)>;

// The digest of a whole file; nothing when the file cannot be opened or read.
// Each leaves the errno of a refused open or read in `error` when one is given
// (ESTALE for a file that got shorter while it was hashed).
std::optional<Digest> HashFile(const std::string& path, const HashProgressFn& progress = {});
// The digest of the first `limit` bytes of a file (all of it when limit < 0).
std::optional<Digest> HashFilePrefix(const std::string& path, int64_t limit,
                                     const HashProgressFn& progress = {}, int* error = nullptr);
// The digest of an open file from its start (its first `limit` bytes when limit >= 0).
std::optional<Digest> HashStream(platform::File& file, const HashProgressFn& progress = {},
                                 int64_t limit = -1, int* error = nullptr);

// A buffer for the reads of a hash, aligned for the kernel's copies into it.
struct HashBufferFree {
    void operator()(uint8_t* bytes) const;
};
using HashBuffer = std::unique_ptr<uint8_t[], HashBufferFree>;
HashBuffer MakeHashBuffer(size_t bytes);

// Called after every read of a hash with the bytes hashed so far; false stops it.
using HashStepFn = HashProgressFn;

// The digest of exactly `bytes` bytes of an open file from `offset`, read
// through `buffer`. Nothing when it cannot be had: `error` receives the errno
// of the refused read, ESTALE when the file ends first, ECANCELED when `step`
// stopped it, EINVAL for a negative offset or count or an empty buffer.
std::optional<Digest> HashRange(platform::File& file, int64_t offset, int64_t bytes,
                                uint8_t* buffer, size_t bufferSize, const HashStepFn& step = {},
                                int* error = nullptr);

// Moves the progress window's second bar of a job whose partBytes holds the
// size of the file being hashed.
class Job;
void HashProgressOf(Job& job, int64_t bytesHashed);

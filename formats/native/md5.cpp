#include "formats/native/md5.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

#include "core/DisplayNumbers.h"
#include "core/Job.h"
#include "formats/native/md5lanes.h"
#include "platform/Env.h"
#include "platform/Errors.h"

namespace {

// Large reads keep the system calls out of the measurement; the digest does
// not depend on the step.
constexpr size_t kHashStep = 128 * 1024;

// The kernel copies from the page cache several times faster into memory that
// starts on a cache line: 128 KiB reads of a GiB took 0.14 s into an aligned
// buffer and 0.50 s into one 16 bytes off.
constexpr std::align_val_t kHashBufferAlignment{64};

inline uint32_t Rotl(uint32_t x, int s) {
    return (x << s) | (x >> (32 - s));
}

// Loads the block's words in place, whatever the alignment of the caller's bytes.
inline uint32_t LoadLe32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, sizeof v);
    if constexpr (std::endian::native == std::endian::big)
        v = (v >> 24) | ((v >> 8) & 0xff00) | ((v << 8) & 0xff0000) | (v << 24);
    return v;
}

inline void StoreLe32(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}

// One step of each round. Every step depends on the one before through b, the
// word it just computed: the message word and constant are added first, and b
// enters last and through as few operations as possible. G is written as the
// sum of its two halves, which never share a bit, so that the half without b
// is added before b is known.
#define MD5_F(a, b, c, d, i, t, s)       \
    a += LoadLe32(data + 4 * (i)) + (t); \
    a += (d) ^ ((b) & ((c) ^ (d)));      \
    a = Rotl(a, s) + (b)
#define MD5_G(a, b, c, d, i, t, s)       \
    a += LoadLe32(data + 4 * (i)) + (t); \
    a += (c) & ~(d);                     \
    a += (b) & (d);                      \
    a = Rotl(a, s) + (b)
#define MD5_H(a, b, c, d, i, t, s)       \
    a += LoadLe32(data + 4 * (i)) + (t); \
    a += ((c) ^ (d)) ^ (b);              \
    a = Rotl(a, s) + (b)
#define MD5_I(a, b, c, d, i, t, s)       \
    a += LoadLe32(data + 4 * (i)) + (t); \
    a += (c) ^ ((b) | ~(d));             \
    a = Rotl(a, s) + (b)

// Hashes `blocks` consecutive 64-byte blocks straight from `data`.
void MD5Transform(uint32_t state[4], const uint8_t* data, size_t blocks) {
    uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    for (; blocks > 0; --blocks, data += 64) {
        const uint32_t aa = a, bb = b, cc = c, dd = d;

        MD5_F(a, b, c, d, 0, 0xd76aa478, 7);
        MD5_F(d, a, b, c, 1, 0xe8c7b756, 12);
        MD5_F(c, d, a, b, 2, 0x242070db, 17);
        MD5_F(b, c, d, a, 3, 0xc1bdceee, 22);
        MD5_F(a, b, c, d, 4, 0xf57c0faf, 7);
        MD5_F(d, a, b, c, 5, 0x4787c62a, 12);
        MD5_F(c, d, a, b, 6, 0xa8304613, 17);
        MD5_F(b, c, d, a, 7, 0xfd469501, 22);
        MD5_F(a, b, c, d, 8, 0x698098d8, 7);
        MD5_F(d, a, b, c, 9, 0x8b44f7af, 12);
        MD5_F(c, d, a, b, 10, 0xffff5bb1, 17);
        MD5_F(b, c, d, a, 11, 0x895cd7be, 22);
        MD5_F(a, b, c, d, 12, 0x6b901122, 7);
        MD5_F(d, a, b, c, 13, 0xfd987193, 12);
        MD5_F(c, d, a, b, 14, 0xa679438e, 17);
        MD5_F(b, c, d, a, 15, 0x49b40821, 22);

        MD5_G(a, b, c, d, 1, 0xf61e2562, 5);
        MD5_G(d, a, b, c, 6, 0xc040b340, 9);
        MD5_G(c, d, a, b, 11, 0x265e5a51, 14);
        MD5_G(b, c, d, a, 0, 0xe9b6c7aa, 20);
        MD5_G(a, b, c, d, 5, 0xd62f105d, 5);
        MD5_G(d, a, b, c, 10, 0x02441453, 9);
        MD5_G(c, d, a, b, 15, 0xd8a1e681, 14);
        MD5_G(b, c, d, a, 4, 0xe7d3fbc8, 20);
        MD5_G(a, b, c, d, 9, 0x21e1cde6, 5);
        MD5_G(d, a, b, c, 14, 0xc33707d6, 9);
        MD5_G(c, d, a, b, 3, 0xf4d50d87, 14);
        MD5_G(b, c, d, a, 8, 0x455a14ed, 20);
        MD5_G(a, b, c, d, 13, 0xa9e3e905, 5);
        MD5_G(d, a, b, c, 2, 0xfcefa3f8, 9);
        MD5_G(c, d, a, b, 7, 0x676f02d9, 14);
        MD5_G(b, c, d, a, 12, 0x8d2a4c8a, 20);

        MD5_H(a, b, c, d, 5, 0xfffa3942, 4);
        MD5_H(d, a, b, c, 8, 0x8771f681, 11);
        MD5_H(c, d, a, b, 11, 0x6d9d6122, 16);
        MD5_H(b, c, d, a, 14, 0xfde5380c, 23);
        MD5_H(a, b, c, d, 1, 0xa4beea44, 4);
        MD5_H(d, a, b, c, 4, 0x4bdecfa9, 11);
        MD5_H(c, d, a, b, 7, 0xf6bb4b60, 16);
        MD5_H(b, c, d, a, 10, 0xbebfbc70, 23);
        MD5_H(a, b, c, d, 13, 0x289b7ec6, 4);
        MD5_H(d, a, b, c, 0, 0xeaa127fa, 11);
        MD5_H(c, d, a, b, 3, 0xd4ef3085, 16);
        MD5_H(b, c, d, a, 6, 0x04881d05, 23);
        MD5_H(a, b, c, d, 9, 0xd9d4d039, 4);
        MD5_H(d, a, b, c, 12, 0xe6db99e5, 11);
        MD5_H(c, d, a, b, 15, 0x1fa27cf8, 16);
        MD5_H(b, c, d, a, 2, 0xc4ac5665, 23);

        MD5_I(a, b, c, d, 0, 0xf4292244, 6);
        MD5_I(d, a, b, c, 7, 0x432aff97, 10);
        MD5_I(c, d, a, b, 14, 0xab9423a7, 15);
        MD5_I(b, c, d, a, 5, 0xfc93a039, 21);
        MD5_I(a, b, c, d, 12, 0x655b59c3, 6);
        MD5_I(d, a, b, c, 3, 0x8f0ccc92, 10);
        MD5_I(c, d, a, b, 10, 0xffeff47d, 15);
        MD5_I(b, c, d, a, 1, 0x85845dd1, 21);
        MD5_I(a, b, c, d, 8, 0x6fa87e4f, 6);
        MD5_I(d, a, b, c, 15, 0xfe2ce6e0, 10);
        MD5_I(c, d, a, b, 6, 0xa3014314, 15);
        MD5_I(b, c, d, a, 13, 0x4e0811a1, 21);
        MD5_I(a, b, c, d, 4, 0xf7537e82, 6);
        MD5_I(d, a, b, c, 11, 0xbd3af235, 10);
        MD5_I(c, d, a, b, 2, 0x2ad7d2bb, 15);
        MD5_I(b, c, d, a, 9, 0xeb86d391, 21);

        a += aa;
        b += bb;
        c += cc;
        d += dd;
    }
    state[0] = a;
    state[1] = b;
    state[2] = c;
    state[3] = d;
}

#undef MD5_F
#undef MD5_G
#undef MD5_H
#undef MD5_I

}  // namespace

void MD5Init(MD5Context& context) {
    context.state[0] = 0x67452301;
    context.state[1] = 0xefcdab89;
    context.state[2] = 0x98badcfe;
    context.state[3] = 0x10325476;
    context.count[0] = context.count[1] = 0;
    std::memset(context.buffer, 0, sizeof context.buffer);
}

static_assert(kMD5Lanes == md5lanes::kLanes);

namespace {

// Counts `count` more bytes into the message's length; returns how many wait
// in the context's buffer for their block to fill.
size_t CountBytes(MD5Context& context, size_t count) {
    const size_t waiting = (context.count[0] >> 3) & 0x3F;
    const uint64_t bits = (static_cast<uint64_t>(context.count[1]) << 32 | context.count[0]) +
                          (static_cast<uint64_t>(count) << 3);
    context.count[0] = static_cast<uint32_t>(bits);
    context.count[1] = static_cast<uint32_t>(bits >> 32);
    return waiting;
}

// Adds the input's first bytes to the `waiting` bytes of a partial block,
// hashing the block once full; returns the bytes it took.
size_t FillWaitingBlock(MD5Context& context, size_t waiting, const uint8_t* input, size_t count) {
    if (waiting == 0) return 0;
    const size_t taken = std::min(count, 64 - waiting);
    std::memcpy(context.buffer + waiting, input, taken);
    if (waiting + taken == 64) MD5Transform(context.state, context.buffer, 1);
    return taken;
}

// What a lane has left to hash once its waiting block is full.
struct LaneInput {
    MD5Context* context;
    const uint8_t* at;
    size_t left;
};

// The whole blocks of up to eight lanes, those of two lanes or more through
// the vector unit, at the length of the shortest lane with blocks left: a
// lane without work hashes a copy of a busy lane's bytes, and its result is
// dropped.
void TransformLanes(LaneInput* lanes, size_t count) {
    for (;;) {
        size_t busy = 0, fewest = SIZE_MAX, someBusy = 0;
        for (size_t k = 0; k < count; ++k)
            if (lanes[k].left >= 64) {
                ++busy;
                someBusy = k;
                fewest = std::min(fewest, lanes[k].left / 64);
            }
        if (busy == 0) return;
        if (busy == 1) {
            LaneInput& lane = lanes[someBusy];
            MD5Transform(lane.context->state, lane.at, lane.left / 64);
            lane.at += lane.left / 64 * 64;
            lane.left %= 64;
            return;
        }
        md5lanes::LaneStates states;
        const uint8_t* data[md5lanes::kLanes];
        for (size_t k = 0; k < md5lanes::kLanes; ++k) {
            const bool works = k < count && lanes[k].left >= 64;
            const LaneInput& lane = works ? lanes[k] : lanes[someBusy];
            data[k] = lane.at;
            for (int w = 0; w < 4; ++w) states.word[w][k] = lane.context->state[w];
        }
        md5lanes::TransformEight(states, data, fewest);
        for (size_t k = 0; k < count; ++k) {
            if (lanes[k].left < 64) continue;
            for (int w = 0; w < 4; ++w) lanes[k].context->state[w] = states.word[w][k];
            lanes[k].at += fewest * 64;
            lanes[k].left -= fewest * 64;
        }
    }
}

}  // namespace

void MD5Update(MD5Context& context, const void* bytes, size_t count) {
    const auto* input = static_cast<const uint8_t*>(bytes);
    const size_t taken = FillWaitingBlock(context, CountBytes(context, count), input, count);
    input += taken;
    count -= taken;
    if (count == 0) return;
    MD5Transform(context.state, input, count / 64);
    input += count / 64 * 64;
    std::memcpy(context.buffer, input, count % 64);
}

MD5LaneCode MD5ChosenLaneCode() {
    static const MD5LaneCode chosen = [] {
        const std::optional<std::string> off = platform::GetEnv("PARCELWISE_NO_AVX2");
        const bool forcedOff = off && !off->empty() && *off != "0";
        return !forcedOff && md5lanes::ProcessorHasAvx2() ? MD5LaneCode::Avx2 : MD5LaneCode::Scalar;
    }();
    return chosen;
}

size_t MD5LanesAtOnce() {
    return MD5ChosenLaneCode() == MD5LaneCode::Avx2 ? md5lanes::kLanes : 1;
}

void MD5UpdateLanes(const MD5Lane* lanes, size_t count, MD5LaneCode code) {
    static const bool hasAvx2 = md5lanes::ProcessorHasAvx2();
    if (code == MD5LaneCode::Scalar || !hasAvx2) {
        for (size_t k = 0; k < count; ++k)
            MD5Update(*lanes[k].context, lanes[k].bytes, lanes[k].count);
        return;
    }
    for (size_t first = 0; first < count; first += md5lanes::kLanes) {
        const size_t group = std::min(count - first, md5lanes::kLanes);
        LaneInput inputs[md5lanes::kLanes];
        for (size_t k = 0; k < group; ++k) {
            const MD5Lane& lane = lanes[first + k];
            MD5Context& context = *lane.context;
            const auto* input = static_cast<const uint8_t*>(lane.bytes);
            const size_t taken =
                FillWaitingBlock(context, CountBytes(context, lane.count), input, lane.count);
            inputs[k] = {&context, input + taken, lane.count - taken};
        }
        TransformLanes(inputs, group);
        // Whatever is left is less than a block, and its lane's buffer is empty.
        for (size_t k = 0; k < group; ++k)
            if (inputs[k].left > 0)
                std::memcpy(inputs[k].context->buffer, inputs[k].at, inputs[k].left);
    }
}

Digest MD5Final(MD5Context& context) {
    uint8_t length[8];
    StoreLe32(length, context.count[0]);
    StoreLe32(length + 4, context.count[1]);
    size_t index = (context.count[0] >> 3) & 0x3F;
    size_t padding = index < 56 ? 56 - index : 120 - index;
    static const uint8_t kPadding[64] = {0x80};
    MD5Update(context, kPadding, padding);
    MD5Update(context, length, 8);
    Digest digest;
    for (int i = 0; i < 4; ++i) StoreLe32(digest.data() + 4 * i, context.state[i]);
    std::memset(&context, 0, sizeof context);
    return digest;
}

std::string DigestToHex(const Digest& digest) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string text(32, '0');
    for (size_t i = 0; i < digest.size(); ++i) {
        text[2 * i] = kHex[digest[i] >> 4];
        text[2 * i + 1] = kHex[digest[i] & 0x0F];
    }
    return text;
}

void HashBufferFree::operator()(uint8_t* bytes) const {
    ::operator delete[](bytes, kHashBufferAlignment);
}

HashBuffer MakeHashBuffer(size_t bytes) {
    return HashBuffer(static_cast<uint8_t*>(::operator new[](bytes, kHashBufferAlignment)));
}

std::optional<Digest> HashRange(platform::File& file, int64_t offset, int64_t bytes,
                                uint8_t* buffer, size_t bufferSize, const HashStepFn& step,
                                int* error) {
    auto refused = [error](int why) -> std::optional<Digest> {
        if (error) *error = why;
        return std::nullopt;
    };
    if (offset < 0 || bytes < 0 || bufferSize == 0) return refused(EINVAL);
    if (!file.Seek(offset)) return refused(EIO);

    MD5Context context;
    MD5Init(context);
    int64_t total = 0;
    while (total < bytes) {
        size_t want = static_cast<size_t>(std::min<int64_t>(bufferSize, bytes - total));
        platform::IoResult r = file.Read(buffer, want);
        if (!r.ok()) return refused(r.error);
        if (r.bytes == 0) break;
        total += r.bytes;
        MD5Update(context, buffer, static_cast<size_t>(r.bytes));
        if (step && !step(total)) return refused(ECANCELED);
    }
    // A file that got shorter while it was hashed has no trustworthy digest.
    if (total != bytes) return refused(ESTALE);
    return MD5Final(context);
}

std::optional<Digest> HashStream(platform::File& file, const HashProgressFn& progress,
                                 int64_t limit, int* error) {
    int64_t size = file.Size();
    if (size < 0) {
        if (error) *error = EIO;
        return std::nullopt;
    }
    if (limit >= 0 && limit < size) size = limit;
    HashBuffer buffer = MakeHashBuffer(kHashStep);
    return HashRange(file, 0, size, buffer.get(), kHashStep, progress, error);
}

std::optional<Digest> HashFilePrefix(const std::string& path, int64_t limit,
                                     const HashProgressFn& progress, int* error) {
    platform::File file = platform::File::OpenRead(path, platform::Share::Read);
    if (!file.IsOpen()) {
        if (error) *error = file.OpenError();
        return std::nullopt;
    }
    return HashStream(file, progress, limit, error);
}

std::optional<Digest> HashFile(const std::string& path, const HashProgressFn& progress) {
    return HashFilePrefix(path, -1, progress);
}

void HashProgressOf(Job& job, int64_t bytesHashed) {
    int position;
    if (bytesHashed > 0 && Percent(bytesHashed, job.partBytes, position))
        job.display->SetPartBar(position);
}

// MD5 against RFC 1321's test suite and against md5sum, and the hashing of files
// with its progress.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <vector>

#include "NativeJobs.h"
#include "platform/Env.h"
#include "platform/Errors.h"
#include "platform/IoFaults.h"

using namespace nativetest;

namespace {

// RFC 1321 as its text reads, one step at a time, with the constants computed
// from the sine as the RFC defines them: nothing shared with the unit under test.
std::string ReferenceMD5(const std::string& message) {
    static const int kShifts[4][4] = {
        {7, 12, 17, 22}, {5, 9, 14, 20}, {4, 11, 16, 23}, {6, 10, 15, 21}};
    uint32_t t[64];
    for (int i = 0; i < 64; ++i)
        t[i] = static_cast<uint32_t>(std::floor(std::fabs(std::sin(i + 1.0)) * 4294967296.0));

    std::vector<uint8_t> bytes(message.begin(), message.end());
    const uint64_t bits = static_cast<uint64_t>(message.size()) * 8;
    bytes.push_back(0x80);
    while (bytes.size() % 64 != 56) bytes.push_back(0);
    for (int i = 0; i < 8; ++i) bytes.push_back(static_cast<uint8_t>(bits >> (8 * i)));

    uint32_t h[4] = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476};
    for (size_t block = 0; block < bytes.size(); block += 64) {
        uint32_t x[16];
        for (int i = 0; i < 16; ++i) {
            x[i] = 0;
            for (int k = 3; k >= 0; --k) x[i] = x[i] << 8 | bytes[block + 4 * i + k];
        }
        uint32_t a = h[0], b = h[1], c = h[2], d = h[3];
        for (int i = 0; i < 64; ++i) {
            uint32_t f;
            int word;
            switch (i / 16) {
                case 0:
                    f = (b & c) | (~b & d), word = i;
                    break;
                case 1:
                    f = (b & d) | (c & ~d), word = (5 * i + 1) % 16;
                    break;
                case 2:
                    f = b ^ c ^ d, word = (3 * i + 5) % 16;
                    break;
                default:
                    f = c ^ (b | ~d), word = (7 * i) % 16;
                    break;
            }
            const int s = kShifts[i / 16][i % 4];
            const uint32_t sum = a + f + x[word] + t[i];
            a = d;
            d = c;
            c = b;
            b += (sum << s) | (sum >> (32 - s));
        }
        h[0] += a, h[1] += b, h[2] += c, h[3] += d;
    }
    static const char kHex[] = "0123456789ABCDEF";
    std::string text;
    for (uint32_t word : h)
        for (int i = 0; i < 4; ++i) {
            const uint8_t byte = static_cast<uint8_t>(word >> (8 * i));
            text += kHex[byte >> 4];
            text += kHex[byte & 15];
        }
    return text;
}

}  // namespace

TEST(MD5, Rfc1321TestSuiteInUpperCase) {
    const struct {
        std::string message, digest;
    } suite[] = {
        {"", "D41D8CD98F00B204E9800998ECF8427E"},
        {"a", "0CC175B9C0F1B6A831C399E269772661"},
        {"abc", "900150983CD24FB0D6963F7D28E17F72"},
        {"message digest", "F96B697D7CB7938D525A2F31AAF161D0"},
        {"abcdefghijklmnopqrstuvwxyz", "C3FCD3D76192E4007DFB496CCA67E13B"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
         "D174AB98D277D9F5A5611C2C9F419D9F"},
        {"1234567890123456789012345678901234567890"
         "1234567890123456789012345678901234567890",
         "57EDF4A22BE3C955AC49DA2E2107B67A"},
    };
    for (const auto& entry : suite)
        EXPECT_EQ(TestMD5(entry.message), entry.digest) << entry.message;
}

TEST(MD5, MatchesTheReferenceOnEveryLengthAroundTheBlockEdges) {
    // Every length up to five blocks crosses the 55/56 padding edge and the
    // 63/64/65 block edge of each block count; the larger ones run many blocks
    // in one call.
    std::vector<size_t> lengths;
    for (size_t n = 0; n <= 320; ++n) lengths.push_back(n);
    for (size_t n : {4095u, 4096u, 4097u, 131072u + 55u, 1000003u}) lengths.push_back(n);
    for (size_t length : lengths) {
        const std::string bytes = RandomBytes(length, static_cast<uint32_t>(length) + 7);
        ASSERT_EQ(TestMD5(bytes), ReferenceMD5(bytes)) << length;
    }
    EXPECT_EQ(TestMD5(std::string(1000000, 'a')), "7707D6AE4E027C70EEA2A935C2296F21");
}

TEST(MD5, BytesAtAnyAlignmentInAnyPiecesGiveTheSameDigest) {
    const std::string bytes = RandomBytes(5000, 3);
    const std::string expected = ReferenceMD5(bytes);
    // The same bytes from every offset of a cache line, so that whole blocks
    // are read from unaligned addresses.
    std::vector<char> storage(bytes.size() + 64);
    for (size_t shift = 0; shift < 64; ++shift) {
        std::memcpy(storage.data() + shift, bytes.data(), bytes.size());
        MD5Context context;
        MD5Init(context);
        MD5Update(context, storage.data() + shift, bytes.size());
        ASSERT_EQ(DigestToHex(MD5Final(context)), expected) << shift;
    }
    // Pieces that straddle the buffered remainder: a partial block, then many
    // blocks that start off a block boundary, then a tail.
    for (size_t first : {1u, 55u, 56u, 63u, 64u, 65u, 127u, 129u}) {
        for (size_t second : {0u, 1u, 8u, 64u, 200u, 4000u}) {
            MD5Context context;
            MD5Init(context);
            MD5Update(context, bytes.data(), first);
            MD5Update(context, bytes.data() + first, second);
            MD5Update(context, bytes.data() + first + second, bytes.size() - first - second);
            ASSERT_EQ(DigestToHex(MD5Final(context)), expected) << first << "+" << second;
        }
    }
}

TEST(MD5, PiecesGiveTheDigestOfTheWhole) {
    // Lengths around the 56- and 64-byte edges of the padding, fed in uneven pieces.
    for (size_t length : {55u, 56u, 57u, 63u, 64u, 65u, 119u, 120u, 1000u}) {
        const std::string bytes = RandomBytes(length, static_cast<uint32_t>(length));
        MD5Context context;
        MD5Init(context);
        for (size_t at = 0, piece = 1; at < length; at += piece, piece = piece * 3 % 71 + 1)
            MD5Update(context, bytes.data() + at, std::min(piece, length - at));
        EXPECT_EQ(DigestToHex(MD5Final(context)), TestMD5(bytes)) << length;
    }
}

TEST(HashFile, EmptyMissingAndRandomFiles) {
    TempDir dir;
    std::vector<int64_t> progress;
    auto record = [&](int64_t n) {
        progress.push_back(n);
        return true;
    };
    WriteFile(dir / "empty", "");
    EXPECT_EQ(DigestToHex(HashFile(dir / "empty", record).value()),
              "D41D8CD98F00B204E9800998ECF8427E");
    EXPECT_TRUE(progress.empty());
    EXPECT_FALSE(HashFile(dir / "absent"));

    const std::string bytes = RandomBytes(3 * 131072 + 777, 11);
    WriteFile(dir / "random file", bytes);
    const std::string ours = DigestToHex(HashFile(dir / "random file", record).value());
    EXPECT_EQ(ours, TestMD5(bytes));
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
    EXPECT_EQ(progress.back(), static_cast<int64_t>(bytes.size()));
    // A progress that says stop ends the hash as cancelled, with no digest.
    int error = 0;
    EXPECT_FALSE(HashFilePrefix(
        dir / "random file", -1, [](int64_t) { return false; }, &error));
    EXPECT_EQ(error, ECANCELED);
    if (!platform::HasTool("md5sum")) GTEST_SKIP() << "md5sum is not installed";
    EXPECT_EQ(ours, Md5sumOf(dir / "random file"));
}

TEST(HashFile, PrefixesAndFilesThatFailMidway) {
    TempDir dir;
    const std::string bytes = RandomBytes(300000, 5);
    WriteFile(dir / "f", bytes);
    EXPECT_EQ(DigestToHex(*HashFilePrefix(dir / "f", 1000)), TestMD5(bytes.substr(0, 1000)));
    EXPECT_EQ(DigestToHex(*HashFilePrefix(dir / "f", 999999)), TestMD5(bytes));

    // A file that fails or ends early while it is read has no digest at all.
    for (bool fails : {true, false}) {
        platform::testing::IoFaults plan;
        (fails ? plan.readErrorAfter : plan.readEndAfter) = 200000;
        platform::testing::ScopedIoFaults faults(plan);
        EXPECT_FALSE(HashFile(dir / "f")) << fails;
    }
}

TEST(HashRange, HashesExactlyTheBytesAskedForOrSaysWhyNot) {
    TempDir dir;
    const std::string bytes = RandomBytes(10000, 9);
    WriteFile(dir / "f", bytes);
    platform::File file = platform::File::OpenRead(dir / "f", platform::Share::Read);
    ASSERT_TRUE(file.IsOpen());
    HashBuffer buffer = MakeHashBuffer(1000);
    // Buffers that divide the range, that do not, and of a single byte.
    for (size_t step : {1000u, 333u, 1u}) {
        int error = 0;
        auto digest = HashRange(file, 1234, 5678, buffer.get(), step, {}, &error);
        ASSERT_TRUE(digest) << step;
        EXPECT_EQ(DigestToHex(*digest), ReferenceMD5(bytes.substr(1234, 5678))) << step;
    }
    int error = 0;
    EXPECT_EQ(DigestToHex(*HashRange(file, 10000, 0, buffer.get(), 1000)), ReferenceMD5(""));
    // A range that runs past the end of the file has no digest.
    EXPECT_FALSE(HashRange(file, 9000, 1001, buffer.get(), 1000, {}, &error));
    EXPECT_EQ(error, ESTALE);
    EXPECT_FALSE(HashRange(file, -1, 10, buffer.get(), 1000, {}, &error));
    EXPECT_EQ(error, EINVAL);

    // The step sees the running count after every read and can stop the hash there.
    std::vector<int64_t> seen;
    auto stopAt2000 = [&](int64_t n) {
        seen.push_back(n);
        return n < 2000;
    };
    EXPECT_FALSE(HashRange(file, 0, 10000, buffer.get(), 1000, stopAt2000, &error));
    EXPECT_EQ(error, ECANCELED);
    EXPECT_EQ(seen, (std::vector<int64_t>{1000, 2000}));
}

TEST(HashProgressOf, MovesTheSecondBarOfItsJob) {
    RecordingDisplay display;
    NativeSet job;
    job.display = &display;
    job.partBytes = 400;
    HashProgressOf(job, 0);
    HashProgressOf(job, 100);
    HashProgressOf(job, 400);
    job.partBytes = 0;
    HashProgressOf(job, 50);  // no size known: the bar stays
    EXPECT_EQ(display.writes(), (std::vector<std::string>{"bar2=25", "bar2=100"}));
}

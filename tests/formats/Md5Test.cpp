// MD5 against RFC 1321's test suite and against md5sum, and the hashing of files
// with its progress.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <iterator>
#include <random>
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

namespace {

// The bytes of kHashlibDigests: the high byte of each step of a linear
// congruential generator, which make-md5-table repeats in Python.
std::string LcgBytes(uint32_t seed, size_t length) {
    std::string bytes(length, '\0');
    for (char& byte : bytes) {
        seed = seed * 1103515245u + 12345u;
        byte = static_cast<char>(seed >> 24);
    }
    return bytes;
}

struct KnownDigest {
    uint32_t seed;
    size_t length;
    const char* digest;
};

// Written by tests/formats/make-md5-table with Python's hashlib: the block and
// padding edges, random lengths, and messages of many blocks.
const KnownDigest kHashlibDigests[] = {
    {1, 0, "D41D8CD98F00B204E9800998ECF8427E"},
    {2, 1, "05D85804DD3E689E1F1A0AAA1975FB4C"},
    {3, 55, "EAD4DDE7DA86DF36DE363DFF2F9FE908"},
    {4, 56, "7075006A1A6DE0FA1A2DA89207C2F0BB"},
    {5, 57, "62F9185C20253E0D7156CEAF8730EF2C"},
    {6, 63, "E48E44F7707654110BC2380E8DE48D7D"},
    {7, 64, "088FDA69E163C5C1A5361EA1DE4512C0"},
    {8, 65, "89438712A6667171F6C14DF7001A3B23"},
    {9, 119, "3FBE19BE093E1090553297A8E4E9F07F"},
    {10, 120, "05D647D98C8F4760461B5721A21F8DEA"},
    {11, 127, "89C91100B0201C32B3BF0788E1BBCC6C"},
    {12, 128, "12B62C8AC18A72A009B2A9D1817062A2"},
    {13, 129, "DB2B65186C528659B609808B2DFC7D55"},
    {14, 511, "6E33FDD7A9325D9D7DED82CF9793AE13"},
    {15, 512, "9EFD1872ECE598B51CCE0CF8909641E3"},
    {16, 513, "360C3A48E5C8782BD186A64E4024EAEB"},
    {17, 634, "14BABAD16D72482B91AF914AEDF6D173"},
    {18, 1749, "223C84692B6B658F3E6D8B73A948887F"},
    {19, 1184, "73DD74D28C2A332AD79655D03FA0E7FB"},
    {20, 2483, "9089F9A157E34F00FD1693A80654D180"},
    {21, 1948, "E980E153C2252601D507E2157C18BB75"},
    {22, 4065, "F06A906B049D48DD3DAB3055BACC61AF"},
    {23, 199, "4AF0F38C679534A00F6847906C56886F"},
    {24, 315, "F55C730D387B03F49613A9E5C8E78F48"},
    {25, 821, "05A1B509AD7D164F5ED6B63AF69556E9"},
    {26, 2660, "1818A44E115E6E30ABE233E3963467AB"},
    {27, 4169, "474220647BF47BD09198017B835E4CF4"},
    {28, 2706, "58D5F891763C79AF600A822FA6D12901"},
    {29, 467, "6D15C0724EEAA3711CA6178F775D091A"},
    {30, 4282, "FC9CBAE5950B9B73160DD4F4B865DFC4"},
    {31, 3840, "86DAB2FC7275DDDB6FF7E238D9B0C150"},
    {32, 3038, "07F7CFBE4A36796ED160CBF295BEB639"},
    {33, 4925, "73C22795E90FE852C997A8A037910910"},
    {34, 6, "64741227FC4156256E07CE3F58BDF47F"},
    {35, 4443, "DF95B531F2B064EDD7ECB3F335F68380"},
    {36, 1035, "27B126B3BDAEC913680CE0009B1B6041"},
    {37, 65543, "C74613075CED974B9A95CFECB7970B98"},
    {38, 200003, "2127DE331D8E5188B095809FDA2D8232"},
};

// Each message hashed in one lane among `messages.size()`, fed `piece` bytes
// (times 1 to 3 by lane, so that the lanes of one call take different counts)
// per call, each from its own offset of a cache line, until every lane ends.
std::vector<std::string> HashSideBySide(const std::vector<std::string>& messages, size_t piece,
                                        MD5LaneCode code) {
    const size_t n = messages.size();
    std::vector<std::string> shifted(n);
    std::vector<size_t> at(n, 0);
    std::vector<MD5Context> contexts(n);
    for (size_t k = 0; k < n; ++k) {
        shifted[k] = std::string(k * 13 % 64, '-') + messages[k];
        at[k] = k * 13 % 64;
        MD5Init(contexts[k]);
    }
    for (;;) {
        std::vector<MD5Lane> lanes;
        for (size_t k = 0; k < n; ++k) {
            const size_t left = shifted[k].size() - at[k];
            if (left == 0) continue;
            const size_t count = std::min(left, piece * (1 + k % 3));
            lanes.push_back({&contexts[k], shifted[k].data() + at[k], count});
            at[k] += count;
        }
        if (lanes.empty()) break;
        MD5UpdateLanes(lanes.data(), lanes.size(), code);
    }
    std::vector<std::string> digests;
    for (MD5Context& context : contexts) digests.push_back(DigestToHex(MD5Final(context)));
    return digests;
}

std::vector<MD5LaneCode> CodesOfThisProcessor() {
    std::vector<MD5LaneCode> codes = {MD5LaneCode::Scalar};
    if (MD5ChosenLaneCode() == MD5LaneCode::Avx2) codes.push_back(MD5LaneCode::Avx2);
    // Says which codes ran: a processor without AVX2 tests the scalar code alone.
    ::testing::Test::RecordProperty("laneCodes", codes.size() == 2 ? "scalar, AVX2" : "scalar");
    return codes;
}

}  // namespace

TEST(MD5Lanes, EveryMixOfLanesGivesHashlibsDigests) {
    const size_t rows = std::size(kHashlibDigests);
    const struct {
        size_t lanes, firstRow, step;
    } mixes[] = {
        {1, rows - 1, 1},  // a lane alone, through the scalar code
        {2, 6, 5},         // two lanes, the fewest the vector code takes
        {8, 0, 1},         // the block and padding edges side by side
        {8, rows - 1, 0},  // eight of the same length, ending together
        {9, 16, 2},        // a group of eight and one more
        {rows, 0, 1},      // every row: groups of eight ending at different times
    };
    for (MD5LaneCode code : CodesOfThisProcessor())
        for (const auto& mix : mixes)
            for (size_t piece :
                 {size_t{1} << 30, size_t{4096}, size_t{1000}, size_t{64}, size_t{7}}) {
                std::vector<std::string> messages, expected;
                for (size_t k = 0; k < mix.lanes; ++k) {
                    const KnownDigest& row = kHashlibDigests[(mix.firstRow + k * mix.step) % rows];
                    messages.push_back(LcgBytes(row.seed, row.length));
                    expected.push_back(row.digest);
                }
                ASSERT_EQ(HashSideBySide(messages, piece, code), expected)
                    << "code " << static_cast<int>(code) << ", " << mix.lanes << " lanes from row "
                    << mix.firstRow << ", pieces of " << piece;
            }
}

TEST(MD5Lanes, RandomLengthsAndPiecesGiveTheDigestsOfOneStream) {
    std::mt19937 random(32);
    for (MD5LaneCode code : CodesOfThisProcessor())
        for (int round = 0; round < 40; ++round) {
            const size_t lanes = 1 + random() % 12;
            const size_t piece = 1 + random() % 3000;
            std::vector<std::string> messages, expected;
            for (size_t k = 0; k < lanes; ++k) {
                messages.push_back(RandomBytes(random() % 20000, static_cast<uint32_t>(random())));
                expected.push_back(ReferenceMD5(messages.back()));
            }
            ASSERT_EQ(HashSideBySide(messages, piece, code), expected)
                << round << ": " << lanes << " lanes, pieces of " << piece;
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

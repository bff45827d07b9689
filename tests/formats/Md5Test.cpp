// MD5 against RFC 1321's test suite and against md5sum, and the hashing of files
// with its progress.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "NativeJobs.h"
#include "platform/IoFaults.h"

using namespace nativetest;

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

TEST(HashProgressOf, MovesTheSecondBarOfItsJob) {
    RecordingDisplay display;
    TzelParcelwise job;
    job.display = &display;
    job.partBytes = 400;
    HashProgressOf(job, 0);
    HashProgressOf(job, 100);
    HashProgressOf(job, 400);
    job.partBytes = 0;
    HashProgressOf(job, 50);  // no size known: the bar stays
    EXPECT_EQ(display.writes(), (std::vector<std::string>{"bar2=25", "bar2=100"}));
}

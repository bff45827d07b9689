// Plain sets: what the checks refuse before anything is written, the parts
// and the checksum file a split leaves, and what a failed or cancelled split
// takes back (a plain set carries nothing that would say it is incomplete).
#include <gtest/gtest.h>

#include "NativeJobs.h"
#include "formats/native/md5.h"
#include "formats/plain/ChecksumFile.h"
#include "formats/plain/PlainSet.h"
#include "formats/plain/Sha256Parts.h"
#include "platform/Errors.h"
#include "platform/Sha256.h"

namespace {

using namespace nativetest;

constexpr char kHash[] = "0123456789abcdef0123456789abcdef";

TEST(PlainSet, WritesChecksumLinesAsTheCheckersReadThem) {
    const struct {
        const char* name;
        const char* line;
    } rows[] = {
        {"film.avi.001", "0123456789abcdef0123456789abcdef  film.avi.001\n"},
        {"a b.bin", "0123456789abcdef0123456789abcdef  a b.bin\n"},
        {"a\\b", "\\0123456789abcdef0123456789abcdef  a\\\\b\n"},
        {"a\nb", "\\0123456789abcdef0123456789abcdef  a\\nb\n"},
    };
    for (const auto& row : rows) EXPECT_EQ(ChecksumLine(kHash, row.name), row.line) << row.name;
    EXPECT_EQ(PlainPartName("/d/x", 7), "/d/x.007");
    EXPECT_EQ(ChecksumFileName("x", PlainDigest::Sha256), "x.sha256");
}

TEST(PlainSet, ReadsTheChecksumLinesOfEveryChecker) {
    const struct {
        const char* text;
        std::map<std::string, std::string> digests;
    } rows[] = {
        {"0123456789ABCDEF0123456789abcdef  f.001\n", {{"f.001", kHash}}},
        {"0123456789abcdef0123456789abcdef *f.001\r\n", {{"f.001", kHash}}},
        {"\\0123456789abcdef0123456789abcdef  a\\\\b\\nc", {{"a\\b\nc", kHash}}},
        // Not such lines: a digest of another length, one blank, no name, a bad escape.
        {"0123456789abcdef  f.001\n0123456789abcdef0123456789abcdef f.001\n"
         "0123456789abcdef0123456789abcdef  \n\\0123456789abcdef0123456789abcdef  a\\x\n",
         {}},
        {"g123456789abcdef0123456789abcdef  f.001\n", {}},
    };
    for (const auto& row : rows) EXPECT_EQ(ParseChecksums(row.text, 32), row.digests) << row.text;
}

class PlainSplit : public ::testing::Test {
protected:
    TempDir dir;
    RecordingSink sink;
    RecordingDisplay display;
    const std::string source = dir / "src.bin";
    const std::string data = RandomBytes(3 * 1048576 + 5, 28);
    std::unique_ptr<PlainSet> job = std::make_unique<PlainSet>();

    void SetUp() override {
        WriteFile(source, data);
        PrepareSplit(*job, source, dir.path(), display);
    }
    bool Check(int64_t partSize, PlainDigest digest = PlainDigest::None) {
        return workflow::CheckPlainSplit(*job, "src.bin", partSize, digest, 16384,
                                         platform::ShowAfter(kOwner));
    }
    Step Run(int64_t partSize, PlainDigest digest) {
        return nativetest::Run(*job, workflow::Direction::Split,
                               [&] { return Check(partSize, digest); });
    }
};

TEST_F(PlainSplit, RefusesWhatNoPlainSetCanBe) {
    const struct {
        int64_t partSize;
        const char* says;
    } rows[] = {
        {0, "Taille de découpage incorrecte"},
        {3 * 1048576 + 6, "supérieure à la taille originale"},
        {3 * 1048576 + 5, "égale à la taille du fichier"},
        {3 * 1048576 / 1000, "999 au plus"},
    };
    for (const auto& row : rows) {
        const RecordingSink said;
        EXPECT_FALSE(Check(row.partSize)) << row.partSize;
        ASSERT_FALSE(said.texts().empty());
        EXPECT_NE(said.texts().front().find(row.says), std::string::npos)
            << row.partSize << ": " << said.texts().front();
    }
    // A later part or the checksum file in the way stops the split before it starts.
    for (const char* taken : {"src.bin.004", "src.bin.sha256"}) {
        WriteFile(dir / taken, "x");
        EXPECT_FALSE(Check(1048576, PlainDigest::Sha256)) << taken;
        std::remove((dir / taken).c_str());
    }
    EXPECT_EQ(ListDir(dir.path()), std::vector<std::string>{"src.bin"});
}

TEST_F(PlainSplit, WritesTheDataAndTheDigestsOfEveryPartAndOfTheWhole) {
    for (const PlainDigest digest : {PlainDigest::Md5, PlainDigest::Sha256}) {
        job = std::make_unique<PlainSet>();
        PrepareSplit(*job, source, dir.path(), display);
        ASSERT_EQ(Run(1048576, digest), Step::Finished);
        std::string joined;
        for (int k = 1; k <= 4; ++k) joined += ReadFile(dir / ("src.bin.00" + std::to_string(k)));
        EXPECT_EQ(joined, data);
        const std::string sums = ReadFile(job->ChecksumPath());
        // The whole file's line last, with the digest the library gives alone.
        std::string whole;
        if (digest == PlainDigest::Md5) {
            const std::optional<Digest> md5 = HashFile(source);
            ASSERT_TRUE(md5);
            whole = LowerHex(md5->data(), md5->size());
        } else {
            platform::Sha256 hash;
            platform::Sha256Digest sha{};
            hash.Add(data.data(), data.size());
            ASSERT_TRUE(hash.Finish(sha));
            whole = LowerHex(sha.data(), sha.size());
        }
        EXPECT_NE(sums.find(whole + "  src.bin\n"), std::string::npos) << sums;
        EXPECT_EQ(std::count(sums.begin(), sums.end(), '\n'), 5);
        for (const std::string& name : ListDir(dir.path()))
            if (name != "src.bin") std::remove((dir / name).c_str());
    }
}

TEST_F(PlainSplit, TakesBackEveryPartOfAFailedOrCancelledSplit) {
    ASSERT_TRUE(Check(1048576));
    job->Suspend();
    workflow::Start(*job, workflow::Direction::Split);
    job->Cancel();
    AwaitWorker(*job);
    EXPECT_EQ(job->step, Step::Cancelled);
    EXPECT_EQ(ListDir(dir.path()), std::vector<std::string>{"src.bin"});

    // A folder put where part 3 goes once the check passed.
    job = std::make_unique<PlainSet>();
    PrepareSplit(*job, source, dir.path(), display);
    ASSERT_TRUE(Check(1048576, PlainDigest::Sha256));
    ASSERT_TRUE(platform::MakeFolders(dir / "src.bin.003"));
    workflow::Start(*job, workflow::Direction::Split);
    AwaitWorker(*job);
    EXPECT_EQ(job->step, Step::Failed);
    EXPECT_EQ(ListDir(dir.path()), (std::vector<std::string>{"src.bin", "src.bin.003"}));
}

TEST(Sha256Parts, HashesEveryPartOnEveryWorkerAndNamesTheFirstThatFails) {
    TempDir dir;
    std::vector<PartToHash> parts;
    std::vector<std::string> contents;
    for (int k = 0; k < 9; ++k) {
        contents.push_back(RandomBytes(static_cast<size_t>(k) * 70001, k));
        WriteFile(dir / std::to_string(k), contents.back());
        parts.push_back({nullptr, dir / std::to_string(k), 0, -1});
    }
    parts.push_back({nullptr, dir / "0", 0, 70001});  // past its end
    for (const unsigned workers : {1u, 2u, 5u}) {
        PartHashOptions options;
        options.workers = workers;
        options.bufferSize = 4096;
        const Sha256PartsResult hashed = HashPartsSha256(parts, options);
        EXPECT_EQ(hashed.failedPart, 9);
        EXPECT_EQ(hashed.error, ESTALE);
        for (size_t k = 0; k < contents.size(); ++k) {
            platform::Sha256 alone;
            platform::Sha256Digest digest{};
            alone.Add(contents[k].data(), contents[k].size());
            ASSERT_TRUE(alone.Finish(digest));
            if (hashed.digests[k]) {
                EXPECT_EQ(*hashed.digests[k], digest) << k;
            }
        }
    }
    parts[4].path = dir / "missing";
    EXPECT_EQ(HashPartsSha256(parts, {}).failedPart, 4);
}

}  // namespace

// Plain sets: what the checks refuse before anything is written, the parts
// and the checksum file a split leaves, and what a failed or cancelled split
// takes back (a plain set carries nothing that would say it is incomplete).
#include <gtest/gtest.h>

#include "ForeignJobs.h"
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

// A join checks the file it would rebuild against the checksum file's line
// for it, before writing anything: parts right by their own lines may still
// not make that file.
TEST_F(PlainSplit, JoinRefusesPartsThatDoNotMakeTheFileTheChecksumFileNames) {
    const auto lineOf = [](const std::string& text, const std::string& name) {
        const size_t at = text.find("  " + name + "\n");
        return at == std::string::npos ? std::string() : text.substr(at - 32, 32);
    };
    const struct {
        const char* forgery;
        // Applied to the parts' folder and the checksum file's text.
        std::function<void(const TempDir&, std::string&)> forge;
        bool joins;
    } rows[] = {
        {"none", [](const TempDir&, std::string&) {}, true},
        {"the whole file's line",
         [](const TempDir&, std::string& sums) { sums.replace(sums.size() - 42, 32, kHash); },
         false},
        {"parts 2 and 3 swapped, their lines too",
         [&](const TempDir& folder, std::string& sums) {
             const std::string two = ReadFile(folder / "src.bin.002");
             WriteFile(folder / "src.bin.002", ReadFile(folder / "src.bin.003"));
             WriteFile(folder / "src.bin.003", two);
             const std::string line2 = lineOf(sums, "src.bin.002");
             const std::string line3 = lineOf(sums, "src.bin.003");
             sums.replace(sums.find(line2), 32, line3);
             sums.replace(sums.rfind(line3), 32, line2);
         },
         false},
    };
    ASSERT_EQ(Run(1048576, PlainDigest::Md5), Step::Finished);
    const std::string sums = ReadFile(job->ChecksumPath());
    for (const auto& row : rows) {
        TempDir set;
        for (const std::string& name : ListDir(dir.path()))
            if (name != "src.bin") WriteFile(set / name, ReadFile(dir / name));
        std::string forged = sums;
        row.forge(set, forged);
        WriteFile(set / "src.bin.md5", forged);
        const std::unique_ptr<ForeignSet> joiner = foreigntest::MakeJob("generic");
        RecordingDisplay shown;
        ASSERT_TRUE(foreigntest::Open(*joiner, set / "src.bin.001", shown)) << row.forgery;
        const RecordingSink said;
        const Step ended = nativetest::Run(*joiner, workflow::Direction::Join, [&] {
            return workflow::CheckJoin(*joiner, "src.bin", true, 16384,
                                       platform::ShowAfter(kOwner));
        });
        EXPECT_EQ(ended == Step::Finished, row.joins) << row.forgery;
        EXPECT_EQ(platform::FileExists(set / "src.bin"), row.joins) << row.forgery;
        if (row.joins) {
            EXPECT_EQ(ReadFile(set / "src.bin"), data);
        } else {
            ASSERT_FALSE(said.texts().empty()) << row.forgery;
            EXPECT_NE(said.texts().front().find("ne serait pas < src.bin >"), std::string::npos)
                << said.texts().front();
        }
        EXPECT_EQ(ListDir(set.path()).size(), row.joins ? 6u : 5u) << row.forgery;
        // The hash step shows its progress, up to the last part.
        const std::vector<std::string> parts = shown.valuesOf("lblPartie");
        EXPECT_NE(std::find(parts.begin(), parts.end(), "Vérification du fichier n° 4"),
                  parts.end())
            << row.forgery;
    }
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

    // The parts one after the other, as cat gives them, by either digest.
    parts.erase(parts.begin() + 4, parts.end());
    parts[2].offset = 5;
    parts[3].bytes = 1000;
    const std::string joined =
        contents[0] + contents[1] + contents[2].substr(5) + contents[3].substr(0, 1000);
    WriteFile(dir / "joined", joined);
    PartHashOptions small;
    small.bufferSize = 4096;
    platform::Sha256 alone;
    platform::Sha256Digest sha{};
    alone.Add(joined.data(), joined.size());
    ASSERT_TRUE(alone.Finish(sha));
    const std::optional<Digest> md5 = HashFile(dir / "joined");
    ASSERT_TRUE(md5);
    EXPECT_EQ(HashInSequence(parts, PlainDigest::Sha256, small).hex, LowerHex(sha.data(), 32));
    EXPECT_EQ(HashInSequence(parts, PlainDigest::Md5, small).hex, LowerHex(md5->data(), 16));
    parts[1].path = dir / "missing";
    const SequenceDigest failed = HashInSequence(parts, PlainDigest::Sha256, small);
    EXPECT_EQ(failed.failedPart, 1);
    EXPECT_EQ(failed.error, ENOENT);
    EXPECT_TRUE(failed.hex.empty());
}

}  // namespace

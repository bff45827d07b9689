// The one judgement of a set, as a matrix: every kind of set, written here
// file by file after its tool's layout (the native one by our splitter), with
// every fault, put through every command that judges it (verify, info, the
// join). A new kind is one more row of kKinds, a new fault one more of
// kFaults and its expectation. The join succeeds exactly when verify says the
// set is whole, writes what the parts hold, and when it refuses names the
// part that verify blames.
#include <sys/stat.h>

#include <filesystem>
#include <functional>

#include "ForeignJobs.h"
#include "formats/SetCheck.h"
#include "formats/native/NativeSet.h"
#include "platform/Env.h"

using namespace foreigntest;
namespace fs = std::filesystem;

namespace {

constexpr size_t kData = 1000;     // the data of every part but the last
constexpr size_t kLastData = 400;  // the last part's
constexpr int kParts = 4;

std::string Number(int n, size_t width) {
    std::string text = std::to_string(n);
    return std::string(width - std::min(width, text.size()), '0') + text;
}

// How a kind names and heads its parts. `countKnown`: the set says how many
// parts it has (a header count, a size, the native header), so that a part
// missing at its end is seen; the others end where their names end.
struct Kind {
    std::string kind;
    int first;
    std::function<std::string(int number)> name;
    std::function<std::string(int number, int count)> header;
    bool countKnown = false;
    bool native = false;
};

const Kind kKinds[] = {
    {"generic", 1, [](int n) { return "m.bin." + Number(n, 3); }, {}},
    {"cutkiller", 1, [](int n) { return "m." + Number(n, 3); },
     [](int n, int count) { return n == 1 ? CutHeader("bin", Number(count, 3)) : ""; }, true},
    {"dkoup", 0, [](int n) { return "m.bin.D" + Number(n, 2); }, {}},
    {"kfk", 0, [](int n) { return "m.bin.kk" + std::to_string(n); }, {}},
    {"easysplit", 0, [](int n) { return "m." + Number(n, 3); },
     [](int n, int count) { return "EasySpl" + Number(n, 3) + Number(count, 3) + "bin"; }, true},
    {"koupkoup", 1, [](int n) { return "m.bin." + std::to_string(n); }, {}},
    {"splitter40", 1, [](int n) { return "m.bin." + Number(n, 3); }, {}, true},
    {"maxsplit", 1, [](int n) { return "m.bin__" + Number(n, 3); }, {}},
    {"native", 1, [](int n) { return "m.bin." + Number(n, 3) + ".pcw"; }, {}, true, true},
};

enum class Fault {
    None,
    MiddleShort,     // the second part one byte short
    MiddleLong,      // the second part one byte long
    LastLarger,      // the last part larger than the others
    StrayAfterLast,  // one more part after the last
    MiddleMissing,
    LastMissing,
    LastDanglingLink,  // the last part a link to a drive that is not there
    LastFolder,
    LastFifo,
    Swapped,  // the second and third parts swapped
    Lone,     // the first part alone
};

const struct {
    Fault fault;
    const char* name;
} kFaults[] = {
    {Fault::None, "whole"},
    {Fault::MiddleShort, "a middle part one byte short"},
    {Fault::MiddleLong, "a middle part one byte long"},
    {Fault::LastLarger, "a last part larger than the others"},
    {Fault::StrayAfterLast, "a stray part after the last"},
    {Fault::MiddleMissing, "a middle part missing"},
    {Fault::LastMissing, "the last part missing"},
    {Fault::LastDanglingLink, "the last part a dangling link"},
    {Fault::LastFolder, "the last part a folder"},
    {Fault::LastFifo, "the last part a FIFO"},
    {Fault::Swapped, "two parts swapped"},
    {Fault::Lone, "the first part alone"},
};

// What the judgement must find: whole or not, the part blamed (its place in
// the set from 0, -1 for none) and how.
struct Verdict {
    bool whole = true;
    int blamed = -1;
    PartState state = PartState::Good;
    SetFault fault = SetFault::None;
};

Verdict Expected(const Kind& kind, Fault fault) {
    const int last = kParts - 1;
    switch (fault) {
        case Fault::None:
            return {};
        case Fault::MiddleShort:
            return {false, 1, PartState::Short};
        case Fault::MiddleLong:
            return {false, 1, PartState::Long};
        case Fault::LastLarger:
            return {false, last, PartState::Long};
        case Fault::StrayAfterLast:
            // Past a count, an extra file; else the last part is now short.
            if (kind.countKnown) return {};
            return {false, last, PartState::Short};
        case Fault::MiddleMissing:
            return {false, 1, PartState::Missing};
        case Fault::LastMissing:
            // A set named alone ends where its names end: nothing tells.
            if (!kind.countKnown) return {};
            return {false, last, PartState::Missing};
        case Fault::LastDanglingLink:
        case Fault::LastFolder:
        case Fault::LastFifo:
            return {false, last, PartState::Unreadable};
        case Fault::Swapped:
            // Only what a part carries of its own place can tell.
            if (kind.kind == "easysplit") return {false, 1, PartState::BadHeader};
            if (kind.native) return {false, 1, PartState::Damaged};
            return {};
        case Fault::Lone:
            if (!kind.countKnown) return {false, -1, PartState::Good, SetFault::LonePart};
            return {false, 1, PartState::Missing};
    }
    return {};
}

// Writes a whole set of the kind into `dir`; the path to open.
std::string WriteSet(const Kind& kind, const TempDir& dir) {
    std::string original;
    for (int i = 0; i < kParts; ++i)
        original += RandomBytes(i == kParts - 1 ? kLastData : kData, static_cast<uint32_t>(i + 3));
    if (kind.native) {
        WriteFile(dir / "m.bin", original);
        EXPECT_EQ(nativetest::Split(dir / "m.bin", dir.path(), kData, 16384, true), Step::Finished);
        fs::remove(dir / "m.bin");
        return dir / kind.name(1);
    }
    for (int i = 0; i < kParts; ++i) {
        const int n = kind.first + i;
        const std::string header = kind.header ? kind.header(n, kParts) : "";
        WriteFile(dir / kind.name(n),
                  header + original.substr(i * kData, i == kParts - 1 ? kLastData : kData));
    }
    if (kind.kind == "splitter40") {
        WriteFile(dir / "m.bin.h001", "SpLi40?m.bin\txx" + std::to_string(original.size()) + "\t");
        return dir / "m.bin.h001";
    }
    return dir / kind.name(kind.first);
}

void Resize(const std::string& path, int64_t by) {
    fs::resize_file(path, static_cast<uintmax_t>(static_cast<int64_t>(fs::file_size(path)) + by));
}

// Puts the fault into the set; false where this system cannot make it.
bool Damage(const Kind& kind, Fault fault, const TempDir& dir) {
    const auto part = [&](int i) { return dir / kind.name(kind.first + i); };
    const std::string last = part(kParts - 1);
    switch (fault) {
        case Fault::None:
            break;
        case Fault::MiddleShort:
            Resize(part(1), -1);
            break;
        case Fault::MiddleLong:
            Resize(part(1), 1);
            break;
        case Fault::LastLarger:
            Resize(last, static_cast<int64_t>(kData - kLastData + 1));
            break;
        case Fault::StrayAfterLast:
            WriteFile(part(kParts), RandomBytes(kLastData / 2, 99));
            break;
        case Fault::MiddleMissing:
            fs::remove(part(1));
            break;
        case Fault::LastMissing:
            fs::remove(last);
            break;
        case Fault::LastDanglingLink:
        case Fault::LastFolder:
        case Fault::LastFifo: {
#ifdef _WIN32
            if (fault != Fault::LastFolder) return false;
#endif
            fs::remove(last);
            std::error_code error;
            if (fault == Fault::LastDanglingLink)
                fs::create_symlink("/media/absent-drive/part", last, error);
            else if (fault == Fault::LastFolder)
                fs::create_directory(last, error);
#ifndef _WIN32
            else if (::mkfifo(last.c_str(), 0600) != 0)
                return false;
#endif
            if (error) return false;
            break;
        }
        case Fault::Swapped: {
            const std::string second = ReadFile(part(1));
            WriteFile(part(1), ReadFile(part(2)));
            WriteFile(part(2), second);
            break;
        }
        case Fault::Lone:
            for (int i = 1; i < kParts; ++i) fs::remove(part(i));
            break;
    }
    return true;
}

// What the parts of a whole set hold, in order: what its join must write.
std::string DataOf(const Kind& kind, const SetCheck& check) {
    std::string data;
    for (const PartCheck& part : check.parts) {
        if (part.state != PartState::Good && part.state != PartState::Uneven) continue;
        const std::string bytes = ReadFile(part.path);
        const int64_t offset =
            kind.native
                ? (part.number == 1 ? 104 : 0)
                : static_cast<int64_t>(kind.header ? kind.header(part.number, kParts).size() : 0);
        data += bytes.substr(static_cast<size_t>(offset), static_cast<size_t>(part.bytes));
    }
    return data;
}

std::unique_ptr<Job> Opened(const Kind& kind, const std::string& chosen,
                            RecordingDisplay& display) {
    std::unique_ptr<Job> job = FormatOfCliName(kind.kind)->make();
    if (!nativetest::OpenSet(*job, chosen, display)) return nullptr;
    return job;
}

}  // namespace

TEST(SetJudgement, EveryKindWithEveryFaultThroughEveryCommand) {
    int cases = 0;
    for (const Kind& kind : kKinds) {
        for (const auto& [fault, faultName] : kFaults) {
            SCOPED_TRACE(kind.kind + ": " + faultName);
            TempDir dir, destination;
            std::string chosen;
            {
                RecordingSink split;
                chosen = WriteSet(kind, dir);
            }
            if (!Damage(kind, fault, dir)) continue;
            RecordingSink sink;
            RecordingDisplay display;
            ++cases;
            const Verdict expected = Expected(kind, fault);
            std::unique_ptr<Job> job = Opened(kind, chosen, display);
            ASSERT_NE(job, nullptr) << sink.texts().back();

            // verify
            const SetCheck verified = CheckSet(*job);
            EXPECT_EQ(verified.Whole(), expected.whole);
            EXPECT_EQ(verified.fault, expected.fault);
            const auto blamed =
                std::find_if(verified.parts.begin(), verified.parts.end(), [](const PartCheck& p) {
                    return p.state != PartState::Good && p.state != PartState::Extra &&
                           p.state != PartState::Uneven;
                });
            if (expected.blamed >= 0) {
                ASSERT_NE(blamed, verified.parts.end());
                EXPECT_EQ(blamed->number, kind.first + expected.blamed);
                EXPECT_EQ(blamed->state, expected.state) << PartProblem(*blamed);
            } else if (expected.fault == SetFault::None) {
                EXPECT_EQ(blamed, verified.parts.end()) << PartProblem(*blamed);
            }

            // info: the same verdict, but for what only the digests tell.
            const SetCheck judged = JudgeParts(*job);
            if (expected.state != PartState::Damaged) {
                EXPECT_EQ(judged.Whole(), verified.Whole());
            }

            // join: succeeds exactly when verify said whole, with the parts' data;
            // refuses naming the part verify blamed, and writes nothing.
            job->choices.folder = destination.path();
            job->display = &display;
            const Step end = nativetest::Run(*job, workflow::Direction::Join, [&] {
                return workflow::CheckJoin(*job, "joined", true, 4096, platform::ShowAfter(kOwner));
            });
            EXPECT_EQ(end == Step::Finished, verified.Whole());
            if (end == Step::Finished) {
                EXPECT_TRUE(ReadFile(destination / "joined") == DataOf(kind, verified));
                continue;
            }
            EXPECT_TRUE(ListDir(destination.path()).empty());
            const std::string said = sink.texts().empty() ? "" : sink.texts().front();
            if (expected.blamed >= 0)
                EXPECT_NE(
                    said.find("Le fichier n°" + std::to_string(kind.first + expected.blamed) + " "),
                    std::string::npos)
                    << said;
            else
                EXPECT_EQ(said, SetFaultText(verified));
        }
    }
    // Eight foreign kinds and ours, twelve faults, three commands; Windows
    // makes no FIFO, and links only for some users.
#ifdef _WIN32
    EXPECT_GE(cases, 9 * 10);
#else
    EXPECT_EQ(cases, 9 * 12);
#endif
}

namespace {

// Opens `chosen` as `kind`, then verifies it and joins it into `destination`;
// the verdict and the messages of the join.
struct Judged {
    SetCheck verified;
    Step end = Step::Failed;
    std::vector<std::string> said;
};
Judged VerifyAndJoin(const std::string& kind, const std::string& chosen,
                     const std::string& destination, bool verify = true) {
    Judged result;
    RecordingSink sink;
    RecordingDisplay display;
    std::unique_ptr<Job> job = FormatOfCliName(kind)->make();
    if (!nativetest::OpenSet(*job, chosen, display)) return result;
    result.verified = CheckSet(*job);
    job->choices.folder = destination;
    result.end = nativetest::Run(*job, workflow::Direction::Join, [&] {
        return workflow::CheckJoin(*job, "joined", verify, 16384, platform::ShowAfter(kOwner));
    });
    result.said = sink.texts();
    return result;
}

}  // namespace

// Sets that coreutils split and 7-Zip write: their joins rebuild the original
// exactly when verify calls them whole, and a part cut short is named by both.
TEST(SetJudgement, SetsOfRealToolsAreJudgedAsTheirJoinsFindThem) {
    PCW_SKIP_WITHOUT_COREUTILS();
    // split -d without -a follows .89 with .9000: 150 parts.
    {
        TempDir dir, out;
        const std::string original = RandomBytes(150 * 100 - 30, 5);
        WriteFile(dir / "data.bin", original);
        ASSERT_TRUE(
            platform::RunTool({"split", "-d", "-b", "100", dir / "data.bin", dir / "data.bin."}));
        ASSERT_TRUE(platform::FileExists(dir / "data.bin.9059"));
        for (const char* given : {"data.bin.00", "data.bin.42"}) {
            SCOPED_TRACE(given);
            TempDir joined;
            const Judged judged = VerifyAndJoin("generic", dir / given, joined.path());
            EXPECT_TRUE(judged.verified.Whole());
            EXPECT_EQ(judged.verified.CountedParts(), 150);
            ASSERT_EQ(judged.end, Step::Finished);
            EXPECT_TRUE(ReadFile(joined / "joined") == original);
        }
        // A part of the wider names cut short is named by both.
        Resize(dir / "data.bin.9010", -1);
        const Judged damaged = VerifyAndJoin("generic", dir / "data.bin.00", out.path());
        EXPECT_FALSE(damaged.verified.Whole());
        EXPECT_EQ(damaged.end, Step::Failed);
        EXPECT_EQ(damaged.said.at(0),
                  "Le fichier n°100 est trop court (99 octets de données au lieu de 100).");
    }
    // split -l cuts at line ends: parts of any size, each ending a line, are
    // whole, and both commands say why sizes prove nothing there.
    {
        TempDir dir, out;
        std::string text;
        for (int line = 0; line < 400; ++line)
            text += std::string(static_cast<size_t>(line * 7 % 61),
                                static_cast<char>('a' + line % 26)) +
                    "\n";
        WriteFile(dir / "notes.txt", text);
        ASSERT_TRUE(platform::RunTool(
            {"split", "-l", "37", "-d", "-a", "3", dir / "notes.txt", dir / "notes.txt."}));
        const Judged judged = VerifyAndJoin("generic", dir / "notes.txt.000", out.path());
        EXPECT_TRUE(judged.verified.Whole());
        ASSERT_EQ(judged.verified.notes.size(), 1u);
        ASSERT_EQ(judged.end, Step::Finished);
        EXPECT_EQ(ReadFile(out / "joined"), text);
        EXPECT_EQ(judged.said.at(0),
                  "Le fichier a été recoller avec succès !\n\r\n\r" + judged.verified.notes[0]);
        // A part that does not end a line is a part cut short.
        Resize(dir / "notes.txt.003", -1);
        TempDir again;
        const Judged damaged = VerifyAndJoin("generic", dir / "notes.txt.000", again.path());
        EXPECT_FALSE(damaged.verified.Whole());
        EXPECT_EQ(damaged.end, Step::Failed);
        EXPECT_NE(damaged.said.at(0).find("Le fichier n°"), std::string::npos);
    }
    // 7-Zip volumes.
    if (platform::HasTool("7z")) {
        TempDir dir, out, again;
        WriteFile(dir / "data.bin", RandomBytes(100000, 11));
        ASSERT_TRUE(platform::RunTool(
            {"7z", "a", "-y", "-mx0", "-v30000b", dir / "archive.7z", dir / "data.bin"}));
        const Judged judged = VerifyAndJoin("generic", dir / "archive.7z.001", out.path());
        EXPECT_TRUE(judged.verified.Whole());
        EXPECT_EQ(judged.end, Step::Finished);
        Resize(dir / "archive.7z.002", 1);
        const Judged damaged = VerifyAndJoin("generic", dir / "archive.7z.001", again.path());
        EXPECT_FALSE(damaged.verified.Whole());
        EXPECT_EQ(damaged.said.at(0),
                  "Le fichier n°2 est trop long (30001 octets de données au lieu de 30000).");
    }
}

// Which part is at fault: in a set of three parts the size of the set tells
// the part of the odd size, and after a changed size field the digests tell
// that the header, not the last part, is wrong.
TEST(SetJudgement, TheBlameFallsOnThePartAtFault) {
    for (bool digests : {false, true}) {
        for (int cut : {1, 2}) {
            SCOPED_TRACE(std::to_string(cut) + (digests ? " with digests" : ""));
            TempDir dir, out;
            WriteFile(dir / "m.bin", RandomBytes(2 * kData + kLastData, 8));
            {
                RecordingSink split;
                ASSERT_EQ(nativetest::Split(dir / "m.bin", dir.path(), kData, 16384, digests),
                          Step::Finished);
            }
            Resize(dir / ("m.bin.00" + std::to_string(cut) + ".pcw"), -1);
            const Judged judged = VerifyAndJoin("native", dir / "m.bin.001.pcw", out.path());
            ASSERT_FALSE(judged.verified.Whole());
            const PartCheck& blamed = judged.verified.parts.at(static_cast<size_t>(cut - 1));
            EXPECT_EQ(blamed.state, PartState::Short) << PartProblem(blamed);
            for (const PartCheck& part : judged.verified.parts)
                if (part.number != cut) {
                    EXPECT_EQ(part.state, PartState::Good) << part.number;
                }
            EXPECT_NE(judged.said.at(0).find("Le fichier n°" + std::to_string(cut) +
                                             " est trop "
                                             "court"),
                      std::string::npos)
                << judged.said.at(0);
        }
    }
    // The size field of the header changed: part 1's digest says so.
    TempDir dir, out;
    WriteFile(dir / "m.bin", RandomBytes(2 * kData + kLastData, 9));
    {
        RecordingSink split;
        ASSERT_EQ(nativetest::Split(dir / "m.bin", dir.path(), kData, 16384, true), Step::Finished);
    }
    std::string first = ReadFile(dir / "m.bin.001.pcw");
    NativeHeader header = DecodeHeader(std::span<const uint8_t, kHeaderSize>(
        reinterpret_cast<const uint8_t*>(first.data()), kHeaderSize));
    header.originalSize += 1;
    const auto bytes = EncodeHeader(header);
    first.replace(0, kHeaderSize, std::string(bytes.begin(), bytes.end()));
    WriteFile(dir / "m.bin.001.pcw", first);
    const Judged judged = VerifyAndJoin("native", dir / "m.bin.001.pcw", out.path());
    ASSERT_FALSE(judged.verified.Whole());
    EXPECT_EQ(judged.verified.parts.at(0).state, PartState::Damaged);
    EXPECT_EQ(judged.verified.parts.at(2).state, PartState::Good);
    EXPECT_EQ(judged.said.at(0), "Le fichier n°1 est corrompu.");
}

// Splitting and joining native sets on real files: the layout of the parts,
// their digests, the join with and without verification, the checks before a
// run and what the progress window is shown.
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "NativeJobs.h"
#include "platform/Env.h"
#include "platform/Reasons.h"

using namespace nativetest;

namespace {

constexpr int64_t kMiB = 1048576;

// The values a slot took, each run of equal values once.
std::vector<std::string> Distinct(const std::vector<std::string>& values) {
    std::vector<std::string> out;
    for (const std::string& v : values)
        if (out.empty() || out.back() != v) out.push_back(v);
    return out;
}

bool Contains(const std::vector<std::string>& values, const std::string& value) {
    return std::find(values.begin(), values.end(), value) != values.end();
}

}  // namespace

TEST_F(NativeSetTest, RoundTripsAcrossPartAndBufferBoundaries) {
    const struct {
        const char* what;
        int64_t size;
        int32_t part;
        uint32_t buffer;
    } cases[] = {
        {"part smaller than the buffer", 100000, 10000, 16384},
        {"part equal to the buffer", 3 * 16384 + 5, 16384, 16384},
        {"part larger than the buffer", 200001, 50000, 16384},
        {"exact multiple of the part", 120000, 30000, 16384},
        {"part of exactly two buffers", 131072, 32768, 16384},
        {"odd buffer, last part of one byte", 1000, 999, 7},
        {"10 MiB + 1 in 5 MiB parts", 10 * kMiB + 1, 5 * kMiB, 1048576},
        {"exactly 10 MiB in 5 MiB parts", 10 * kMiB, 5 * kMiB, 1048576},
    };
    for (const auto& c : cases) {
        for (bool digests : {false, true}) {
            SCOPED_TRACE(std::string(c.what) + (digests ? ", with digests" : ""));
            TempDir scratch;
            const std::string original = RandomBytes(static_cast<size_t>(c.size), 99);
            WriteFile(scratch / "data.bin", original);
            ASSERT_EQ(Split(scratch / "data.bin", scratch.path(), c.part, c.buffer, digests),
                      Step::Finished);

            const int n = static_cast<int>((c.size + c.part - 1) / c.part);
            EXPECT_EQ(ListDir(scratch.path()).size(), static_cast<size_t>(n) + 1);
            const std::string first = ReadFile(PartPath(scratch.path(), "data.bin", 1));
            const NativeHeader h = DecodeHeader(std::span<const uint8_t, kHeaderSize>(
                reinterpret_cast<const uint8_t*>(first.data()), kHeaderSize));
            EXPECT_EQ(h.partCount, n);
            EXPECT_EQ(h.originalSize, c.size);
            std::string data;
            for (int k = 1; k <= n; ++k) {
                std::string part = ReadFile(PartPath(scratch.path(), "data.bin", k));
                if (k == 1) part.erase(0, 104);
                if (k == n && digests) part.resize(part.size() - 32 * n);
                EXPECT_EQ(static_cast<int64_t>(part.size()),
                          std::min<int64_t>(c.part, c.size - (k - 1) * c.part))
                    << "part " << k;
                data += part;
            }
            EXPECT_TRUE(data == original);

            const auto before = Snapshot(scratch.path());
            ASSERT_EQ(
                Join(PartPath(scratch.path(), "data.bin", 1), "joined", digests, c.buffer + 1),
                Step::Finished);
            EXPECT_TRUE(ReadFile(scratch / "joined") == original);
            auto after = Snapshot(scratch.path());
            after.erase("joined");
            EXPECT_TRUE(after == before) << "the join changed the set";
        }
    }
}

// A single part would make a set that no join accepts: the check refuses it.
TEST_F(NativeSetTest, APartAsLargeAsTheFileIsRefused) {
    Source(300000);
    EXPECT_EQ(Split(dir / "film.avi", dir.path(), 300000), Step::Failed);
    EXPECT_EQ(ListDir(dir.path()), std::vector<std::string>{"film.avi"});
    ASSERT_EQ(sink.messages().size(), 2u);
    EXPECT_NE(sink.messages()[0].text.find("- Taille de découpage égale à la taille du fichier"),
              std::string::npos);
    EXPECT_EQ(sink.messages()[1].text, "Le découpage a été annulé.");
    EXPECT_EQ(Split(dir / "film.avi", dir.path(), 299999), Step::Finished);
}

TEST_F(NativeSetTest, DigestsAreTheUpperCaseMd5OfEachFinishedPart) {
    Source(2 * 40000 + 123);
    ASSERT_EQ(Split(dir / "film.avi", dir.path(), 40000, 16384, true), Step::Finished);
    std::string last = ReadFile(Part(3));
    ASSERT_EQ(last.size(), 123u + 3 * 32);
    const std::string block = last.substr(123);
    last.resize(123);
    const std::string parts[] = {ReadFile(Part(1)), ReadFile(Part(2)), last};
    ASSERT_EQ(parts[0].size(), 104u + 40000);  // the first digest covers the header
    for (int i = 0; i < 3; ++i) EXPECT_EQ(block.substr(32 * i, 32), TestMD5(parts[i])) << i;
    if (!platform::HasTool("md5sum")) GTEST_SKIP() << "md5sum is not installed";
    EXPECT_EQ(block.substr(0, 32), Md5sumOf(Part(1)));
    EXPECT_EQ(block.substr(32, 32), Md5sumOf(Part(2)));
}

TEST_F(NativeSetTest, JoinsWithAndWithoutVerificationAndLeavesTheSetAsItWas) {
    for (bool digests : {true, false}) {
        for (bool verify : {true, false}) {
            SCOPED_TRACE(std::string(digests ? "digests" : "no digests") +
                         (verify ? ", verified" : ""));
            TempDir scratch;
            Source(3 * 30000 - 7);
            WriteFile(scratch / "film.avi", source);
            ASSERT_EQ(Split(scratch / "film.avi", scratch.path(), 30000, 16384, digests),
                      Step::Finished);
            const auto set = Snapshot(scratch.path());
            RecordingDisplay display;
            NativeSet job;
            ASSERT_TRUE(OpenSet(job, PartPath(scratch.path(), "film.avi", 1), display));
            ASSERT_EQ(Join(job, verify, 4096, "joined"), Step::Finished);
            EXPECT_TRUE(ReadFile(scratch / "joined") == source);
            auto after = Snapshot(scratch.path());
            after.erase("joined");
            EXPECT_TRUE(after == set);
            // Digests are checked only when the set has them and the user asks.
            EXPECT_EQ(Contains(display.valuesOf("lblInfo"), "Contrôle des Hash MD5"),
                      digests && verify);
        }
    }
}

// Sets copied through a file system that keeps names in upper case, or
// renamed by hand: the parts are named in the case of the chosen first part,
// and a part of another case is no part of the set where names have a case.
// Windows finds it all the same.
TEST_F(NativeSetTest, JoinsASetWhoseNamesAreInAnotherCase) {
    Source(3 * 20000 - 5);
    ASSERT_EQ(Split(dir / "film.avi", dir.path(), 20000, 16384, true), Step::Finished);
    for (const std::string ending : {".PCW", ".Pcw"}) {
        SCOPED_TRACE(ending);
        TempDir copy;
        for (int k = 1; k <= 3; ++k)
            WriteFile(copy / ("FILM.AVI.00" + std::to_string(k) + ending), ReadFile(Part(k)));
        RecordingSink messages;
        RecordingDisplay display;
        NativeSet job;
        ASSERT_TRUE(OpenSet(job, copy / ("FILM.AVI.001" + ending), display));
        EXPECT_EQ(job.digests.size(), 3u);
        ASSERT_EQ(Join(job, true, 16384, "joined"), Step::Finished);
        EXPECT_TRUE(ReadFile(copy / "joined") == source);
    }
    TempDir mixed;
    WriteFile(mixed / "film.avi.001.PCW", ReadFile(Part(1)));
    WriteFile(mixed / "film.avi.002.pcw", ReadFile(Part(2)));
    WriteFile(mixed / "film.avi.003.PCW", ReadFile(Part(3)));
    RecordingSink messages;
    RecordingDisplay display;
    NativeSet job;
    ASSERT_TRUE(OpenSet(job, mixed / "film.avi.001.PCW", display));
    if (platform::kNameRules == platform::NameRules::Windows) {
        ASSERT_EQ(Join(job, false, 16384, "joined"), Step::Finished);
        EXPECT_TRUE(ReadFile(mixed / "joined") == source);
        return;
    }
    EXPECT_EQ(Join(job, false, 16384, "joined"), Step::Failed);
    ExpectFailure(messages, "Le fichier n°2 est introuvable", "Recollage interrompu", 48);
}

TEST_F(NativeSetTest, AnAlteredPartIsFoundBeforeAnyOutputExists) {
    Source(3 * 20000);
    ASSERT_EQ(Split(dir / "film.avi", dir.path(), 20000, 16384, true), Step::Finished);
    std::string part2 = ReadFile(Part(2));
    part2[12345] ^= 0x01;
    WriteFile(Part(2), part2);
    const auto set = Parts();

    RecordingSink failures;
    RecordingDisplay display;
    NativeSet job;
    ASSERT_TRUE(OpenSet(job, Part(1), display));
    EXPECT_EQ(Join(job, true, 16384, "joined"), Step::Failed);
    ExpectFailure(failures, "Le fichier n°2 est corrompu.", "Recollage interrompu", 48);
    EXPECT_FALSE(platform::FileExists(dir / "joined"));
    EXPECT_TRUE(Parts() == set);
    EXPECT_EQ(display.closes(), 1);
}

TEST_F(NativeSetTest, AMissingPartIsNamedBeforeAnythingIsHashedOrWritten) {
    Source(3 * 20000);
    ASSERT_EQ(Split(dir / "film.avi", dir.path(), 20000, 16384, true), Step::Finished);
    const auto complete = Parts();
    // Part 3 also carries the digests: without it no part could be verified.
    for (int missing : {2, 3}) {
        for (bool verify : {false, true}) {
            SCOPED_TRACE("part " + std::to_string(missing) + (verify ? ", verified" : ""));
            for (const auto& [name, content] : complete) WriteFile(dir / name, content);
            ASSERT_EQ(std::remove(Part(missing).c_str()), 0);
            const auto set = Parts();
            RecordingSink failures;
            RecordingDisplay display;
            NativeSet job;
            ASSERT_TRUE(OpenSet(job, Part(1), display));
            EXPECT_EQ(Join(job, verify, 16384, "joined"), Step::Failed);
            ExpectFailure(failures, "Le fichier n°" + std::to_string(missing) + " est introuvable",
                          "Recollage interrompu", 48);
            EXPECT_TRUE(display.valuesOf("lblInfo").empty());
            EXPECT_FALSE(platform::FileExists(dir / "joined"));
            EXPECT_TRUE(Parts() == set);
        }
    }
}

TEST_F(NativeSetTest, CheckJoinParametersRefusesAnExistingOrEmptyDestination) {
    Source(3 * 20000);
    ASSERT_EQ(Split(dir / "film.avi", dir.path(), 20000), Step::Finished);
    RecordingSink checks;
    RecordingDisplay display;
    NativeSet job;
    ASSERT_TRUE(OpenSet(job, Part(1), display));
    EXPECT_EQ(job.choices.fileName, "film.avi");
    EXPECT_FALSE(job.CheckJoinParameters("film.avi", true, platform::ShowAfter(kOwner)));
    EXPECT_FALSE(job.CheckJoinParameters("", true, platform::ShowAfter(kOwner)));
    const std::string intro = "Une ou plusieurs informations sont incorrectes : \n\r";
    const auto m = checks.messages();
    ASSERT_EQ(m.size(), 2u);
    EXPECT_EQ(m[0].text, intro + "\n\r- Le fichier de destination existe déjà :\n\r\n\r" +
                             dir.path() + "film.avi");
    EXPECT_EQ(m[0].title, "-=Parcelwise=-");
    EXPECT_EQ(m[0].icon, 48);
    EXPECT_EQ(m[0].owner, kOwner);
    EXPECT_EQ(m[1].text,
              intro + "\n\r- Nom du fichier de Destination (longeur entre 1 et 255 car.).");

    EXPECT_TRUE(job.CheckJoinParameters(std::string(300, 'x'), true, platform::ShowAfter(kOwner)));
    EXPECT_EQ(job.choices.fileName, std::string(255, 'x'));
    EXPECT_TRUE(job.choices.verifyHash);
}

TEST_F(NativeSetTest, CheckSplitParametersGathersEveryProblemInOrder) {
    Source(5000);
    WriteFile(dir / "taken.001.pcw", "x");
    const std::string noSource = "\n\r- Nom du fichier Original (longeur entre 1 et 255 car.).";
    const std::string noDest = "\n\r- Nom du fichier de Destination (longeur entre 1 et 255 car.).";
    const std::string badSize = "\n\r- Taille de découpage incorrecte (Supérieure à 0).";
    const std::string tooLarge =
        "\n\r- Taille de découpage supérieure à la taille originale du fichier.";
    const std::string whole =
        "\n\r- Taille de découpage égale à la taille du fichier (il faut au moins 2 fichiers).";
    const std::string taken =
        "\n\r- Le fichier de destination existe déjà :\n\r\n\r" + dir.path() + "taken";
    // 255 characters are kept of a longer name, but its part names must fit too.
    const size_t most = platform::MaxFileNameBytes(dir.path());
    const std::string tooLong =
        most >= 255 + 8 ? ""
                        : "\n\r- Nom du fichier de Destination trop long pour "
                          "le système de fichiers (" +
                              std::to_string(most) + " octets au plus par nom de fichier).";
    const struct {
        std::string sourceName, destName;
        int32_t partSize;
        std::string problems;
    } cases[] = {
        {"", "", 0, noSource + noDest + badSize},
        {"", "taken", -4, noSource + badSize + taken},
        {"film.avi", "", 5001, noDest + tooLarge},
        {"film.avi", "taken", 4999, taken},
        {"film.avi", "other", 5000, whole},
        {std::string(60, 'o'), std::string(300, 'd'), 4999, tooLong},
        {std::string(60, 'o'), std::string(most - 8, 'd'), 4999, ""},
    };
    for (const auto& c : cases) {
        RecordingSink checks;
        RecordingDisplay display;
        NativeSet job;
        PrepareSplit(job, dir / "film.avi", dir.path(), display);
        EXPECT_EQ(job.CheckSplitParameters(c.sourceName, c.destName, true, c.partSize,
                                           platform::ShowAfter(kOwner)),
                  c.problems.empty());
        EXPECT_EQ(job.header.hasDigests, 1);
        if (c.problems.empty()) {
            EXPECT_TRUE(checks.messages().empty());
            EXPECT_EQ(job.header.originalName, std::string(50, 'o'));
            EXPECT_EQ(job.choices.fileName, std::string(std::min<size_t>(255, most - 8), 'd'));
            EXPECT_EQ(job.choices.partSize, 4999);
            continue;
        }
        ASSERT_EQ(checks.messages().size(), 1u);
        EXPECT_EQ(checks.messages()[0].text,
                  "Une ou plusieurs informations sont incorrectes : \n\r" + c.problems);
        EXPECT_EQ(checks.messages()[0].owner, kOwner);
    }
}

TEST_F(NativeSetTest, AVerifiedJoinShowsItsPhasesInOrder) {
    Source(3 * 50000 - 11);
    ASSERT_EQ(Split(dir / "film.avi", dir.path(), 50000, 16384, true), Step::Finished);
    RecordingSink messages;
    RecordingDisplay display;
    NativeSet job;
    ASSERT_TRUE(OpenSet(job, Part(1), display));
    ASSERT_EQ(Join(job, true, 16384, "joined"), Step::Finished);

    std::vector<std::string> texts;
    for (const std::string& w : display.writes())
        if (w.starts_with("lbl") && !w.starts_with("lblPourcentage") && !w.starts_with("lblDone"))
            texts.push_back(w);
    // The parts are checked side by side: the window follows the lowest one
    // still in work, which may pass over a part that ended early.
    std::vector<std::string> expected;
    std::string last = "0";
    while (texts.size() > expected.size() + 1 &&
           texts[expected.size()] == "lblInfo=Contrôle des Hash MD5" &&
           texts[expected.size() + 1].starts_with("lblPartie=Vérification du fichier n° ")) {
        const std::string shown =
            texts[expected.size() + 1].substr(texts[expected.size() + 1].size() - 1);
        EXPECT_GT(shown, last) << "part " << shown << " shown after part " << last;
        last = shown;
        expected.push_back(texts[expected.size()]);
        expected.push_back(texts[expected.size()]);
    }
    EXPECT_EQ(texts[1], "lblPartie=Vérification du fichier n° 1");
    const char* joined[] = {"0 fichier recollé...", "1 fichier recollé...",
                            "2 fichiers recollés...", "3 fichiers recollés..."};
    const char* joining[] = {"1", "2", "3", "3"};
    for (int i = 0; i < 4; ++i) {
        expected.push_back(std::string("lblInfo=") + joined[i]);
        expected.push_back(std::string("lblPartie=Recollage du fichier n° ") + joining[i]);
    }
    expected.push_back("lblInfo=Processus terminé avec succès");
    EXPECT_EQ(texts, expected);

    const auto writes = display.writes();
    EXPECT_EQ(display.closes(), 1);
    ASSERT_GE(writes.size(), 3u);
    EXPECT_EQ(writes.back(), "CloseAfterJob");
    EXPECT_EQ(writes[writes.size() - 3], "Timer1=off");
    for (const std::string& v : display.valuesOf("bar1")) EXPECT_LE(std::stoi(v), 100);
    EXPECT_EQ(display.valuesOf("lblPourcentage").back(), "100%");
    EXPECT_EQ(display.valuesOf("lblDone").back(), "0,14 Mo");
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].text, "Le fichier a été recoller avec succès !");
    EXPECT_EQ(messages.messages()[0].icon, 64);
    EXPECT_EQ(messages.messages()[0].owner, kProgress);
}

TEST_F(NativeSetTest, ASplitShowsOnlyPartsThatExist) {
    for (bool digests : {false, true}) {
        SCOPED_TRACE(digests ? "with digests" : "without digests");
        TempDir scratch;
        Source(3 * 50000 - 11);
        WriteFile(scratch / "film.avi", source);
        RecordingSink messages;
        RecordingDisplay display;
        ASSERT_EQ(Split(scratch / "film.avi", scratch.path(), 50000, 16384, digests, display),
                  Step::Finished);
        std::vector<std::string> expected;
        for (const char* n : {"1", "2", "3"})
            expected.push_back(std::string("Création de < film.avi.00") + n + ".pcw >");
        std::vector<std::string> shown = Distinct(display.valuesOf("lblPartie"));
        // The digests are made side by side: the window follows the lowest
        // part still in work, which may pass over a part that ended early.
        if (digests) {
            const std::string hashing = "Hash MD5 du fichier n° ";
            ASSERT_GT(shown.size(), 3u);
            EXPECT_EQ(shown[3], hashing + "1");
            for (size_t i = 4; i < shown.size(); ++i) {
                EXPECT_TRUE(shown[i].starts_with(hashing)) << shown[i];
                EXPECT_GT(shown[i], shown[i - 1]);
            }
            shown.resize(3);
        }
        EXPECT_EQ(shown, expected);

        const auto infos = display.valuesOf("lblInfo");
        EXPECT_EQ(infos.front(), "0 fichier créé...");
        EXPECT_TRUE(Contains(infos, "1 fichier créé...") && Contains(infos, "2 fichiers créés..."));
        EXPECT_EQ(infos.back(), "Processus terminé avec succès");
        for (const char* bar : {"bar1", "bar2"})
            for (const std::string& v : display.valuesOf(bar)) EXPECT_LE(std::stoi(v), 100) << bar;
        EXPECT_EQ(display.valuesOf("lblPourcentage").back(), "100%");
        EXPECT_EQ(messages.texts(),
                  (std::vector<std::string>{"Le fichier a été coupé avec succès !"}));
        EXPECT_EQ(display.writes().back(), "CloseAfterJob");
        EXPECT_EQ(display.closes(), 1);
    }
}

TEST_F(NativeSetTest, NothingToMeasureShowsAStarAndTheJobGoesOn) {
    RecordingDisplay display;
    NativeSet job;
    job.display = &display;
    job.step = Step::Joining;
    job.ShowProgress();  // totalBytes 0
    EXPECT_EQ(display.writes(), (std::vector<std::string>{"lblPourcentage=* %"}));
    job.totalBytes = 200;
    job.doneBytes = 100;
    job.ShowProgress();  // partBytes 0: the first bar moves, the second cannot
    EXPECT_EQ(display.valuesOf("bar1"), (std::vector<std::string>{"50"}));
    EXPECT_EQ(display.valuesOf("lblPourcentage").back(), "* %");
    EXPECT_TRUE(display.valuesOf("bar2").empty());

    // A first part holding nothing but the header is joined all the same.
    Source(30000);
    const auto header = EncodeHeader({"Parcelwise", "1.1", 0, "film.avi", 0, 2, 30000});
    WriteFile(Part(1), std::string(header.begin(), header.end()));
    WriteFile(Part(2), source);
    RecordingDisplay joining;
    NativeSet joiner;
    ASSERT_TRUE(OpenSet(joiner, Part(1), joining));
    ASSERT_EQ(Join(joiner, false, 16384, "joined"), Step::Finished);
    EXPECT_TRUE(ReadFile(dir / "joined") == source);
    EXPECT_TRUE(Contains(joining.valuesOf("lblPourcentage"), "* %"));
}

// The digests are hashed on every core: one worker or several make the same
// set, and a verified join names the lowest damaged part, whichever is found
// first.
TEST_F(NativeSetTest, OneHashingWorkerOrSeveralGiveTheSameSetAndTheSameFailure) {
    constexpr int32_t kPart = 300000;
    Source(6 * kPart + 77);
    std::map<std::string, std::string> sets[2];
    for (const char* workers : {"1", "3"}) {
        SCOPED_TRACE(std::string(workers) + " workers");
        testsupport::SetEnv("PARCELWISE_HASH_WORKERS", workers);
        for (const auto& [name, content] : Parts()) std::remove((dir / name).c_str());
        ASSERT_EQ(Split(dir / "film.avi", dir.path(), kPart, 16384, true), Step::Finished);
        sets[workers[0] == '1' ? 0 : 1] = Parts();
        // The header's date may differ from one day to the next, not the digests.
        const std::string last = ReadFile(Part(7));
        EXPECT_EQ(last.substr(last.size() - 7 * 32, 32), TestMD5(ReadFile(Part(1))));

        // Part 5 damaged, then part 2 as well: the join names part 2.
        for (int damaged : {5, 2}) {
            std::string bytes = ReadFile(Part(damaged));
            bytes[1000] ^= 1;
            WriteFile(Part(damaged), bytes);
            RecordingSink messages;
            EXPECT_EQ(Join(Part(1), "joined", true), Step::Failed);
            ExpectFailure(messages, "Le fichier n°" + std::to_string(damaged) + " est corrompu.",
                          "Recollage interrompu", 48);
            EXPECT_FALSE(platform::FileExists(dir / "joined"));
        }
    }
    testsupport::UnsetEnv("PARCELWISE_HASH_WORKERS");
    EXPECT_TRUE(sets[0] == sets[1]);
}

// Pipes made and handed over as POSIX does it.
#ifndef _WIN32
namespace {

// Runs a split of the standard input, which a writer thread fills with
// `data` through a pipe, into `folder`; the step the worker ended on.
Step SplitStream(const std::string& data, const std::string& folder, int32_t partSize, bool digests,
                 RecordingDisplay& display) {
    int ends[2];
    EXPECT_EQ(::pipe(ends), 0);
    const int saved = ::dup(STDIN_FILENO);
    ::dup2(ends[0], STDIN_FILENO);
    ::close(ends[0]);
    std::thread writer([&] {
        for (size_t at = 0; at < data.size();) {
            const ssize_t n = ::write(ends[1], data.data() + at, data.size() - at);
            if (n <= 0) break;
            at += static_cast<size_t>(n);
        }
        ::close(ends[1]);
    });
    NativeSet job;
    ShowAsProgressWindow(job, display);
    workflow::TakeStreamToSplit(job, folder);
    const Step step = Run(job, workflow::Direction::Split, [&] {
        return workflow::CheckSplit(job, {"flux.bin", "flux.bin", digests, partSize, 65536},
                                    platform::ShowAfter(kOwner));
    });
    writer.join();
    ::dup2(saved, STDIN_FILENO);
    ::close(saved);
    return step;
}

}  // namespace

// The standard input is cut as it comes: the set is known at the end of the
// stream, which may fall on a part's end; a stream too short for a set is
// refused then, and leaves no part. The copy shows a rate, never a percentage
// of a total it does not know.
TEST_F(NativeSetTest, AStreamIsCutAsItComesAndRefusedAtItsEndWhenTooShort) {
    const struct {
        int64_t size;
        int32_t part;
        int parts;  // 0: refused
    } cases[] = {
        {3 * kMiB, kMiB, 3},                         // ends on a part's end: no empty part after it
        {3 * kMiB + 1, kMiB, 4},                     // one byte in the last part
        {kMiB + 1, kMiB, 2},     {kMiB, 100000, 0},  // 1 Mo is not more than 1 Mo
        {0, 100000, 0},          {2 * kMiB, 3 * kMiB, 0},  // one part alone is no set
    };
    for (const auto& c : cases) {
        for (bool digests : {false, true}) {
            SCOPED_TRACE(::testing::Message() << c.size << " in " << c.part << ", " << digests);
            TempDir scratch;
            const std::string original = RandomBytes(static_cast<size_t>(c.size), 5);
            RecordingDisplay display;
            const Step step = SplitStream(original, scratch.path(), c.part, digests, display);
            EXPECT_EQ(step, c.parts > 0 ? Step::Finished : Step::Failed);
            EXPECT_EQ(ListDir(scratch.path()).size(), static_cast<size_t>(c.parts));
            // The digests come once the count is known, and show their share of it.
            if (!digests) {
                for (const std::string& p : display.valuesOf("lblPourcentage"))
                    EXPECT_TRUE(p == "100%" || p.find("/s") != std::string::npos) << p;
            }
            if (c.parts == 0) continue;
            EXPECT_EQ(Join(PartPath(scratch.path(), "flux.bin", 1), "back.bin", true),
                      Step::Finished);
            EXPECT_EQ(ReadFile(scratch / "back.bin"), original);
        }
    }
}
#endif

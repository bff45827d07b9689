// pcw run in-process: usage errors, the checks made before a run, and real
// splits and joins in a scratch folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <sstream>

#include "cli/Commands.h"
#include "core/TextEncoding.h"
#include "formats/FormatTable.h"
#include "platform/Env.h"
#include "platform/Fs.h"
#include "platform/IoFaults.h"
#include "settings/SavedSettings.h"
#include "support/TestSupport.h"
#include "texts/Texts.h"

using namespace testsupport;
using texts::Say;
using texts::TextId;

namespace {

constexpr int64_t kMo = 1048576;

// The text of `id` up to its first placeholder.
std::string LeadOf(TextId id) {
    const std::string_view text = texts::TextOf(id);
    return std::string(text.substr(0, text.find('%')));
}

// Every test runs in each language, expecting texts by their ids.
class CommandsTest : public EachLanguage {
protected:
    int Pcw(std::vector<std::string> args) {
        out.str("");
        err.str("");
        cli::Context ctx{out, err, defaults};
        return cli::Run(args, ctx);
    }
    // A file of random bytes in the scratch folder; its path.
    std::string Source(size_t size, const std::string& name = "film.avi") {
        original = RandomBytes(size, static_cast<uint32_t>(size));
        WriteFile(dir / name, original);
        return dir / name;
    }
    int64_t SizeOf(const std::string& name) { return platform::FileSize(dir / name); }
    bool Said(const std::string& text) {
        auto texts = sink.texts();
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    }
    std::string LastText() {
        auto texts = sink.texts();
        return texts.empty() ? std::string() : texts.back();
    }

    TempDir dir;
    RecordingSink sink;
    std::ostringstream out, err;
    cli::CliDefaults defaults;
    std::string original;
};

TEST_P(CommandsTest, WrongUsageIsStatus2AndTouchesNothing) {
    const std::string source = Source(2 * kMo);
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"cut", source},
        {"split"},
        {"split", source, source},
        {"split", source, "--size", "1000"},
        {"split", source, "--size", "5Mo"},
        {"split", source, "--count", "0"},
        {"split", source, "--bytes", "2147483648"},
        {"split", source, "--bytes", "4G"},
        {"split", source, "--bytes", "0k"},
        {"split", source, "--bytes", "1.5"},
        {"split", source, "--bytes", "5Mo"},
        {"split", source, "--size=5", "--count", "3"},
        {"split", source, "--buffer", "16385"},
        {"split", source, "--md5", "--md5"},
        {"split", source, "--no-verify"},
        {"split", source, "--name", "sub/film.avi"},
        {"split", source, "--store-name", "../film.avi"},
        {"split", source, "--recovery", "0"},
        {"split", source, "--recovery", "51"},
        {"split", source, "--count", "2", "--recovery", "3"},
        {"protect", source},
        {"protect", source, "--recovery", "x"},
        {"repair"},
        {"join", source, "--name", "/tmp/film.avi"},
        {"join", source, "--format", "rar"},
        {"join", source, "--output", "film"},
        {"join", source, "-o", "-", "--name", "film"},
        {"join", source, "-o", "-", "--folder", "/tmp"},
        {"join", source, "-o", "-", "--output", "-"},
        {"split", "-", "--count", "3", "--name", "film"},
        {"split", "-", "--size", "1"},
        {"info", source, "--folder"},
    };
    for (const auto& args : cases) {
        SCOPED_TRACE(::testing::PrintToString(args));
        EXPECT_EQ(Pcw(args), 2);
        EXPECT_NE(err.str().find(Say(TextId::CliSynopsis)), std::string::npos) << err.str();
        EXPECT_TRUE(out.str().empty());
    }
    EXPECT_TRUE(sink.messages().empty());
    EXPECT_EQ(ListDir(dir.path()), std::vector<std::string>{"film.avi"});
}

// pcw with no command in a console window of its own, which a double click in
// Explorer opened and which closes as pcw ends: the help, then a key to close
// the window, asked before the wait. Anywhere else the console outlives pcw,
// and a script gets the usage error at once.
TEST_P(CommandsTest, NoCommandInAConsoleOfItsOwnWaitsForAKey) {
    const struct {
        const char* why;
        std::vector<std::string> args;
        std::optional<bool> ownConsole;  // nothing: no console call given
        bool waits;
        int status;
    } rows[] = {
        {"a double click", {}, true, true, 2},
        {"a Command Prompt", {}, false, false, 2},
        {"no console call", {}, std::nullopt, false, 2},
        {"a command in a console of its own", {"--version"}, true, false, 0},
        {"a wrong command in a console of its own", {"cut"}, true, false, 2},
    };
    defaults.defaultSize = 40;
    const std::string prompt = Say(TextId::CliPressKeyToClose);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.why);
        out.str("");
        err.str("");
        cli::Context ctx{out, err, defaults};
        if (row.ownConsole) ctx.consoleIsOwnAlone = [&] { return *row.ownConsole; };
        int waits = 0;
        std::string shownBeforeTheWait;
        ctx.waitForKey = [&] {
            ++waits;
            shownBeforeTheWait = out.str();
        };
        EXPECT_EQ(cli::Run(row.args, ctx), row.status);
        EXPECT_EQ(waits, row.waits ? 1 : 0);
        EXPECT_EQ(out.str().find(prompt) != std::string::npos, row.waits);
        if (row.waits) {
            EXPECT_EQ(shownBeforeTheWait, cli::HelpText(defaults) + "\n" + prompt);
            EXPECT_EQ(out.str(), shownBeforeTheWait + "\n");
            EXPECT_EQ(err.str(), "");
        } else if (row.args.empty()) {
            EXPECT_EQ(err.str(), Say(TextId::CliUsageError,
                                     {Say(TextId::CliMissingCommand), Say(TextId::CliSynopsis)}));
            EXPECT_EQ(out.str(), "");
        }
    }
}

// Windows opens a device for CON, NUL, COM1…: pcw says so when it refuses such
// a name there; elsewhere the name is a name like any other.
TEST_P(CommandsTest, AReservedNameIsRefusedOnWindowsWithItsReason) {
    const std::string source = Source(2 * kMo);
    const bool windows = platform::kNameRules == platform::NameRules::Windows;
    for (const std::string option : {"--name", "--store-name"}) {
        SCOPED_TRACE(option);
        err.str("");
        const int status = Pcw({"split", source, "--count", "2", option, "nul.txt"});
        if (!windows) {
            EXPECT_EQ(status, 0) << err.str();
            continue;
        }
        EXPECT_EQ(status, 2);
        EXPECT_NE(err.str().find(Say(TextId::CliWantsUnreservedName,
                                     {option, Say(TextId::ReservedOnWindows), "nul.txt"})),
                  std::string::npos)
            << err.str();
    }
}

// Sets of other tools join by the kind named; a set opened as the wrong kind
// is refused by that kind's own reading.
TEST_P(CommandsTest, ForeignSetsJoinByTheirKind) {
    PCW_SKIP_WITHOUT_COREUTILS();
    const std::string clip = RandomBytes(2 * kMo + 5, 21);
    WriteFile(dir / "clip.mpg", clip);
    ASSERT_EQ(std::system(("cd '" + dir.path() +
                           "' && split -b 1000000 -d -a 3 --numeric-suffixes=1 clip.mpg clip.mpg.")
                              .c_str()),
              0);
    std::filesystem::rename(dir / "clip.mpg", dir / "clip.orig");
    ASSERT_EQ(Pcw({"info", dir / "clip.mpg.001", "--format", "generic"}), 0);
    EXPECT_NE(out.str().find(Say(TextId::InfoPartCount, {"3"})), std::string::npos) << out.str();
    ASSERT_EQ(Pcw({"join", dir / "clip.mpg.001", "--format", "generic"}), 0);
    EXPECT_EQ(ReadFile(dir / "clip.mpg"), clip);
    EXPECT_EQ(LastText(), Say(TextId::JoinSucceeded));

    // No Cutkiller header in a plain part.
    EXPECT_EQ(Pcw({"join", dir / "clip.mpg.001", "--format", "cutkiller", "--name", "other"}), 1);
    EXPECT_NE(LastText().find("Cutkiller"), std::string::npos) << LastText();
    EXPECT_EQ(Pcw({"join", dir / "clip.mpg.001", "--format", "zip"}), 2);
}

// Every kind that --format names reaches its own reading, and the help lists
// it with every buffer size.
TEST_P(CommandsTest, EveryFormatNameOpensAndTheHelpListsIt) {
    for (std::string_view name : CliFormatNames()) {
        SCOPED_TRACE(std::string(name));
        EXPECT_EQ(Pcw({"info", dir / "absent.001", "--format", std::string(name)}), 1);
        EXPECT_NE(LastText().find(LeadOf(TextId::CannotOpenFile)), std::string::npos);
    }
    ASSERT_EQ(Pcw({"--help"}), 0);
    const std::string help = out.str();
    const size_t format = help.find(Say(TextId::HelpFormatLead));
    const size_t after = help.find("  --no-verify");
    ASSERT_LT(format, after);
    const std::string formats = help.substr(format, after - format);
    for (std::string_view name : CliFormatNames())
        EXPECT_NE(formats.find(std::string(name)), std::string::npos) << name;
    // No kind is the default any more: the part tells it.
    EXPECT_EQ(formats.find(LeadOf(TextId::HelpByDefault)), std::string::npos) << formats;
    for (uint32_t size : kBufferSizes)
        EXPECT_NE(help.find(std::to_string(size)), std::string::npos) << size;
    // The lists are carried over under their description.
    const size_t buffer = help.find(Say(TextId::HelpBufferLead));
    ASSERT_LT(buffer, after);
    std::istringstream lines(help.substr(buffer, after - buffer));
    for (std::string line; std::getline(lines, line);) {
        const bool continued = line.rfind("  --", 0) != 0;
        EXPECT_TRUE(!continued || line.rfind(std::string(20, ' '), 0) == 0) << line;
    }
    // Every line fits a terminal of 80 columns.
    std::istringstream all(help);
    for (std::string line; std::getline(all, line);) EXPECT_LE(Utf8Length(line), 80u) << line;
}

// A set of the older format is described, converted, then joined.
TEST_P(CommandsTest, OlderSetsAreDescribedAndConverted) {
    WriteFile(dir / "x.001.pcw", std::string(300, 'q'));
    EXPECT_EQ(Pcw({"convert", dir / "x.001.pcw"}), 1);
    EXPECT_EQ(LastText(), Say(TextId::UnknownFileFormat) + ".");
    EXPECT_EQ(Pcw({"convert"}), 2);
}

// A name read from a file reaches the terminal with its control characters
// shown, never as the sequences they would make the terminal obey.
TEST_P(CommandsTest, InfoShowsControlCharactersOfStoredNames) {
    auto le32 = [](int32_t v) {
        std::string b;
        for (int i = 0; i < 4; ++i) b += static_cast<char>(static_cast<uint32_t>(v) >> (8 * i));
        return b;
    };
    const std::string name = "a\x1B]0;owned\x07\x1B[2Jb\n.avi";
    std::string lead(1, '\x11');
    lead.append("Corvane(c) - 2004").append(2, '\0');
    lead.append(le32(20)).append(le32(10)).append(le32(0)).append(le32(0));
    std::string description(1, '\x0A');
    description.append("Parcelwise").append(1, static_cast<char>(name.size())).append(name);
    description.append(100 - name.size(), '\0').append(le32(2)).append(le32(0));
    description.append(8, '\0').append(le32(0)).append(le32(0));
    ASSERT_EQ(lead.size(), 36u);
    ASSERT_EQ(description.size(), 136u);
    WriteFile(dir / "x.001.pcw", lead + description + std::string(10, 'd'));
    WriteFile(dir / "x.002.pcw", std::string(10, 'd'));

    ASSERT_EQ(Pcw({"info", dir / "x.001.pcw"}), 0);
    const std::string info = out.str();
    EXPECT_NE(info.find(Say(TextId::InfoOriginalName, {"a\\x1b]0;owned\\x07\\x1b[2Jb\\x0a.avi"})),
              std::string::npos)
        << info;
    EXPECT_EQ(info.find('\x1B'), std::string::npos);
    EXPECT_EQ(info.find('\x07'), std::string::npos);
}

TEST_P(CommandsTest, SplitInfoJoinRebuildsTheSameBytes) {
    const std::string source = Source(5 * kMo / 2 + 3);
    ASSERT_EQ(Pcw({"split", source, "--size", "1", "--md5", "--store-name", "vacances.avi",
                   "--buffer", "65536"}),
              0);
    EXPECT_TRUE(Said(Say(TextId::SplitSucceeded)));
    EXPECT_EQ(SizeOf("film.avi.001.pcw"), kMo + 104);
    EXPECT_EQ(SizeOf("film.avi.002.pcw"), kMo);
    EXPECT_EQ(SizeOf("film.avi.003.pcw"), kMo / 2 + 3 + 3 * 32);

    ASSERT_EQ(Pcw({"info", dir / "film.avi.001.pcw"}), 0);
    const std::string info = out.str();
    EXPECT_NE(info.find(Say(TextId::InfoOriginalName, {"vacances.avi"})), std::string::npos)
        << info;
    EXPECT_NE(info.find(Say(TextId::InfoOriginalSize,
                            {"2621443", Say(TextId::SizeInMegabytes, {"2", "50"})})),
              std::string::npos);
    EXPECT_NE(info.find(Say(TextId::InfoPartCount, {"3"})), std::string::npos);
    EXPECT_NE(info.find(Say(TextId::InfoDigests, {Say(TextId::Yes)})), std::string::npos);

    platform::MakeFolders(dir / "rebuilt");
    ASSERT_EQ(Pcw({"join", dir / "film.avi.001.pcw", "--folder", dir / "rebuilt"}), 0);
    EXPECT_TRUE(Said(Say(TextId::JoinSucceeded)));
    EXPECT_EQ(ReadFile(dir / "rebuilt/vacances.avi"), original);
}

TEST_P(CommandsTest, SizeCountBytesAndTheDefaults) {
    const std::string source = Source(10 * kMo);
    ASSERT_EQ(Pcw({"split", source, "--count", "3", "--name", "n"}), 0);
    EXPECT_EQ(SizeOf("n.001.pcw"), 3495254 + 104);
    EXPECT_EQ(SizeOf("n.002.pcw"), 3495254);
    EXPECT_EQ(SizeOf("n.003.pcw"), 3495252);
    EXPECT_EQ(SizeOf("n.004.pcw"), -1);

    ASSERT_EQ(Pcw({"split", source, "--bytes", "4MB", "--name", "b"}), 0);
    EXPECT_EQ(SizeOf("b.001.pcw"), 4000000 + 104);
    EXPECT_EQ(SizeOf("b.003.pcw"), 10 * kMo - 8000000);
    ASSERT_EQ(Pcw({"split", source, "--bytes", "2.5M", "--name", "u"}), 0);
    EXPECT_EQ(SizeOf("u.004.pcw"), 10 * kMo - 3 * (5 * kMo / 2));
    // A size past what a set stores is refused naming that limit.
    EXPECT_EQ(Pcw({"split", source, "--bytes", "4G"}), 2);
    EXPECT_NE(err.str().find(
                  Say(TextId::CliSizeAboveLimit, {"--bytes", "4G", "4294967296", "2147483647"})),
              std::string::npos)
        << err.str();

    // One part holding the whole file is no set: the join would refuse it.
    EXPECT_EQ(Pcw({"split", source, "--size", "10", "--name", "one"}), 1);
    EXPECT_EQ(LastText(), Say(TextId::SplitCancelled));
    EXPECT_EQ(SizeOf("one.001.pcw"), -1);

    // Without an option the defaults decide: 15 Mo is more than the file.
    EXPECT_EQ(Pcw({"split", source, "--name", "d"}), 1);
    defaults.sizeMode = 1;
    defaults.defaultSize = 4;
    ASSERT_EQ(Pcw({"split", source, "--name", "d"}), 0);
    EXPECT_EQ(SizeOf("d.004.pcw"), 10 * kMo - 3 * (10 * kMo / 4 + 1));
}

// Sizes that make no usable set are refused before any part, with their cause:
// parts larger than a set can say, or more parts than a split makes.
TEST_P(CommandsTest, PartsTooLargeOrTooManyAreRefusedWithTheirCause) {
    const std::string big = dir / "big.iso";
    WriteFile(big, "");
    std::filesystem::resize_file(big, 5 * 1024 * kMo);  // sparse: no room taken
    const std::string source = Source(2 * kMo);
    const std::string intro = Say(TextId::ProblemsIntro, {""});
    const struct {
        std::vector<std::string> args;
        std::string problem;
    } cases[] = {
        {{"split", big, "--count", "2"}, Say(TextId::PartTooLargeLine, {"2147483647", "3"})},
        {{"split", source, "--bytes", "1"}, Say(TextId::TooManyPartsLine, {"2097152", "100000"})},
        {{"split", source, "--bytes", "20"}, Say(TextId::TooManyPartsLine, {"104858", "100000"})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[3]);
        const size_t before = sink.texts().size();
        EXPECT_EQ(Pcw(c.args), 1);
        ASSERT_GT(sink.texts().size(), before);
        EXPECT_EQ(sink.texts()[before], intro + c.problem);
        EXPECT_EQ(ListDir(dir.path()).size(), 2u);
    }
}

// A set stores its name in Windows-1252: a name outside it is stored
// simplified, which the split says, and the join takes the parts' own name.
TEST_P(CommandsTest, NamesOutsideWindows1252AreKeptByThePartsNames) {
    const std::string source = Source(2 * kMo, "映画の夏.mkv");
    TempDir back;
    ASSERT_EQ(Pcw({"split", source, "--count", "2", "--md5"}), 0);
    EXPECT_EQ(LastText(),
              Say(TextId::SplitSucceeded) + Say(TextId::StoredNameSimplifiedLine, {"____.mkv"}));
    ASSERT_EQ(Pcw({"join", dir / "映画の夏.mkv.001.pcw", "--folder", back.path()}), 0);
    EXPECT_EQ(ListDir(back.path()), std::vector<std::string>{"映画の夏.mkv"});
    EXPECT_TRUE(ReadFile(back / "映画の夏.mkv") == original);
    // Parts renamed since, or a name stored on purpose, keep the stored name.
    std::filesystem::rename(FsPath(dir / "映画の夏.mkv.001.pcw"), FsPath(dir / "autre.001.pcw"));
    std::filesystem::rename(FsPath(dir / "映画の夏.mkv.002.pcw"), FsPath(dir / "autre.002.pcw"));
    ASSERT_EQ(Pcw({"join", dir / "autre.001.pcw", "--folder", back.path()}), 0);
    EXPECT_TRUE(ReadFile(back / "____.mkv") == original);
    // A name that Windows-1252 holds is stored as it is, and not mentioned.
    Source(2 * kMo, "été.avi");
    ASSERT_EQ(Pcw({"split", dir / "été.avi", "--count", "2"}), 0);
    EXPECT_EQ(LastText(), Say(TextId::SplitSucceeded));
}

TEST_P(CommandsTest, SourceMustBeAFileOfMoreThanOneMo) {
    Source(kMo, "small.bin");
    EXPECT_EQ(Pcw({"split", dir / "small.bin", "--bytes", "1000"}), 1);
    ASSERT_EQ(sink.messages().size(), 1u);
    EXPECT_EQ(sink.messages()[0].text, Say(TextId::SourceTooSmall));
    EXPECT_EQ(sink.messages()[0].title, Say(TextId::TitleFileTooSmall));

    Source(kMo + 1, "just.bin");
    EXPECT_EQ(Pcw({"split", dir / "just.bin", "--bytes", "524289"}), 0);
    EXPECT_EQ(SizeOf("just.bin.002.pcw"), 524288);

    EXPECT_EQ(Pcw({"split", dir / "missing.bin"}), 1);
    EXPECT_EQ(LastText(),
              Say(TextId::CannotOpenFile,
                  {Say(TextId::ReasonLine, {dir / "missing.bin", Say(TextId::ReasonNotFound)})}));
    EXPECT_EQ(Pcw({"split", dir.path()}), 1);
    EXPECT_EQ(LastText(),
              Say(TextId::CannotOpenFile,
                  {Say(TextId::ReasonLine, {dir.path(), Say(TextId::ReasonIsAFolder)})}));
}

TEST_P(CommandsTest, ExistingDestinationIsRefused) {
    const std::string source = Source(2 * kMo);
    ASSERT_EQ(Pcw({"split", source, "--bytes", "1000000"}), 0);
    EXPECT_EQ(Pcw({"split", source, "--bytes", "700000"}), 1);
    EXPECT_EQ(LastText(), Say(TextId::SplitCancelled));
    EXPECT_EQ(SizeOf("film.avi.004.pcw"), -1);

    // The rebuilt name is the source itself, still there.
    EXPECT_EQ(Pcw({"join", dir / "film.avi.001.pcw"}), 1);
    EXPECT_EQ(LastText(), Say(TextId::JoinCancelled));
    EXPECT_EQ(ReadFile(source), original);
}

TEST_P(CommandsTest, RoomIsCheckedAgainstWhatTheJobWrites) {
    const std::string source = Source(3 * kMo);
    const int64_t split = 3 * kMo + 104 + 3 * 32;  // data, header, digests
    {
        FreeSpaceIs free(split);
        EXPECT_EQ(Pcw({"split", source, "--size", "1", "--md5"}), 1);
    }
    {
        FreeSpaceIs free(split + 1);
        ASSERT_EQ(Pcw({"split", source, "--size", "1", "--md5"}), 0);
    }
    // The first part would fit; the rebuilt file would not.
    const int64_t rebuilt = 3 * kMo;
    {
        FreeSpaceIs free(rebuilt);
        EXPECT_EQ(Pcw({"join", dir / "film.avi.001.pcw", "--name", "out"}), 1);
        const std::string three = Say(TextId::SizeInMegabytes, {"3", "00"});
        EXPECT_EQ(LastText(),
                  Say(TextId::NotEnoughSpace, {platform::VolumeOf(dir.path()), three, three,
                                               Say(TextId::SizeInMegabytes, {"0", "00"})}));
        EXPECT_EQ(SizeOf("out"), -1);
    }
    {
        FreeSpaceIs free(rebuilt + 1);
        EXPECT_EQ(Pcw({"join", dir / "film.avi.001.pcw", "--name", "out"}), 0);
        EXPECT_EQ(ReadFile(dir / "out"), original);
    }
}

TEST_P(CommandsTest, FoldersAndFirstPartsThatCannotBeUsed) {
    const std::string source = Source(2 * kMo);
    platform::MakeFolders(dir / "parts");
    ASSERT_EQ(Pcw({"split", source, "--bytes", "1000000", "--folder", dir / "parts/"}), 0);
    EXPECT_EQ(SizeOf("parts/film.avi.003.pcw"), 2 * kMo - 2000000);
    EXPECT_EQ(Pcw({"split", source, "--folder", source}), 1);
    EXPECT_EQ(Pcw({"join", dir / "parts/film.avi.001.pcw", "--folder", dir / "nowhere"}), 1);
    EXPECT_EQ(LastText().rfind(LeadOf(TextId::DestinationFolderMissing), 0), 0u);

    // Under any other name the other parts would be looked for under the wrong stem.
    WriteFile(dir / "renamed.pcw", ReadFile(dir / "parts/film.avi.001.pcw"));
    EXPECT_EQ(Pcw({"info", dir / "renamed.pcw"}), 1);
    // A later part of a native set stands for its set, found by its first part.
    EXPECT_EQ(Pcw({"info", dir / "parts/film.avi.002.pcw"}), 0);
    EXPECT_EQ(out.str().rfind(
                  Say(TextId::InfoDetectedKind, {Say(TextId::DetectedKindWithReason,
                                                     {"native", Say(TextId::ReasonNativeName)})}),
                  0),
              0u)
        << out.str();
    WriteFile(dir / "noise.001.pcw", RandomBytes(500, 7));
    EXPECT_EQ(Pcw({"join", dir / "noise.001.pcw"}), 1);
    EXPECT_EQ(LastText(), Say(TextId::NativeSetCorrupt, {""}));
    EXPECT_TRUE(out.str().empty());
}

// Without --format, a part that no kind fits or that two kinds fit is never
// guessed at: the message names the file and the kinds, and asks for --format.
TEST_P(CommandsTest, PartsOfNoKindOrOfSeveralKindsAreNotGuessed) {
    WriteFile(dir / "notes.txt", std::string(300, 'x'));
    EXPECT_EQ(Pcw({"info", dir / "notes.txt"}), 1);
    ASSERT_EQ(sink.messages().size(), 1u);
    EXPECT_EQ(sink.messages().back().title, Say(TextId::TitleUnknownKind));
    EXPECT_NE(LastText().find(dir / "notes.txt"), std::string::npos) << LastText();
    EXPECT_NE(LastText().find(LeadOf(TextId::ChooseKindWithOption) + "native, cutkiller, generic"),
              std::string::npos)
        << LastText();

    // A Cutkiller part starts with its part count; a plain part may too.
    WriteFile(dir / "clip.001", "xxxxx012" + RandomBytes(2000, 5));
    EXPECT_EQ(Pcw({"join", dir / "clip.001"}), 1);
    EXPECT_EQ(sink.messages().back().title, Say(TextId::TitleAmbiguousKind));
    EXPECT_NE(LastText().find("(cutkiller, generic)"), std::string::npos) << LastText();
    EXPECT_NE(LastText().find(dir / "clip.001"), std::string::npos) << LastText();
    EXPECT_EQ(Pcw({"verify", dir / "clip.001"}), 1);
    EXPECT_EQ(sink.messages().back().title, Say(TextId::TitleAmbiguousKind));

    // A file that is not there is said as such, not as of no kind.
    EXPECT_EQ(Pcw({"join", dir / "missing"}), 1);
    EXPECT_EQ(LastText().rfind(LeadOf(TextId::CannotOpenFile), 0), 0u) << LastText();
    EXPECT_EQ(ListDir(dir.path()), (std::vector<std::string>{"clip.001", "notes.txt"}));
}

TEST_P(CommandsTest, FailedJoinIsStatus1) {
    const std::string source = Source(3 * kMo);
    ASSERT_EQ(Pcw({"split", source, "--size", "1", "--md5", "--name", "s"}), 0);

    // One byte changed in part 2: the digests stop the join unless told not to check.
    std::string part = ReadFile(dir / "s.002.pcw");
    part[1000] = static_cast<char>(part[1000] ^ 1);
    WriteFile(dir / "s.002.pcw", part);
    EXPECT_EQ(Pcw({"join", dir / "s.001.pcw", "--name", "checked"}), 1);
    EXPECT_TRUE(Said(Say(TextId::PartCorrupt, {"2"})));
    EXPECT_EQ(LastText(), Say(TextId::JobStoppedByError));
    EXPECT_EQ(SizeOf("checked"), -1);
    EXPECT_EQ(Pcw({"join", dir / "s.001.pcw", "--name", "unchecked", "--no-verify"}), 0);
}

INSTANTIATE_TEST_SUITE_P(Languages, CommandsTest, ::testing::ValuesIn(LanguageCodes()),
                         LanguageName);

}  // namespace

// The command line takes its defaults from the windows' settings and never
// writes them.
TEST(CliDefaults, ComeFromTheSettingsWithoutChangingThem) {
    testsupport::TempDir dir;
    const cli::CliDefaults none = cli::ReadDefaults(dir / "reg");
    EXPECT_EQ(none.bufferSize, 16384u);
    EXPECT_EQ(none.sizeMode, 0);
    EXPECT_EQ(none.defaultSize, 15);
    EXPECT_FALSE(std::filesystem::exists(dir / "reg"));

    std::filesystem::create_directories(dir / "reg");
    const std::string hive = dir / "reg/HKEY_CURRENT_USER.reg";
    testsupport::WriteFile(
        hive,
        "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Parcelwise]\n"
        "\"BufferSize\"=dword:00000006\n\"DefaultSize\"=dword:00000003\n\"SizeMode\"=dword:"
        "00000001\n"
        "\"isHashEnabled\"=dword:00000001\n\"SplitQuit\"=dword:00000000\n\"JoinQuit\"=dword:"
        "00000000\n"
        "\"OpenDir\"=dword:00000000\n\"HideMessage\"=dword:00000000\n"
        "\"DeletePartialFile\"=dword:00000000\n\"DeleteAfterJoin\"=dword:00000000\n");
    const std::string before = testsupport::ReadFile(hive);
    const cli::CliDefaults stored = cli::ReadDefaults(dir / "reg");
    EXPECT_EQ(stored.bufferSize, 4194304u);
    EXPECT_EQ(stored.sizeMode, 1);
    EXPECT_EQ(stored.defaultSize, 3);
    EXPECT_EQ(testsupport::ReadFile(hive), before);
    EXPECT_EQ(testsupport::ListDir(dir / "reg"), std::vector<std::string>{"HKEY_CURRENT_USER.reg"});
}

// A user without the rights, for real: pcw run as nobody says which file it
// could not read or create, and why, on stderr.
TEST_P(CommandsTest, AUserWithoutRightsIsToldWhichFileAndWhy) {
    if (::system("runuser -u nobody -- true >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "runuser cannot run a command as nobody here";
    auto asNobody = [](const std::string& command) {
        std::string output;
        FILE* pipe = ::popen(("runuser -u nobody -- env " + command + " 2>&1").c_str(), "r");
        if (pipe == nullptr) return output;
        char chunk[512];
        while (size_t n = std::fread(chunk, 1, sizeof chunk, pipe)) output.append(chunk, n);
        ::pclose(pipe);
        return output;
    };
    namespace fs = std::filesystem;
    fs::permissions(dir.path(),
                    fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
    const std::string source = Source(2 * kMo);
    fs::permissions(source, fs::perms::owner_read | fs::perms::owner_write);
    const std::string unreadable = asNobody(LocaleVariable() + " " + PCW_PATH + " split " + source +
                                            " --bytes 1000000 --folder /tmp");
    // The terminal ends its lines with a line feed alone.
    const auto onTerminal = [](std::string text) {
        for (size_t at; (at = text.find("\n\r")) != std::string::npos;) text.erase(at + 1, 1);
        return text;
    };
    const std::string denied = Say(TextId::ReasonPermissionDenied);
    EXPECT_NE(unreadable.find(onTerminal(
                  Say(TextId::CannotOpenFile, {Say(TextId::ReasonLine, {source, denied})}))),
              std::string::npos)
        << unreadable;

    fs::permissions(source, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const std::string created =
        asNobody(LocaleVariable() + " " + PCW_PATH + " split " + source + " --bytes 1000000");
    EXPECT_NE(created.find(onTerminal(Say(TextId::CreateFailedListingCauses) +
                                      Say(TextId::ReasonLine, {dir / "film.avi.001.pcw", denied}))),
              std::string::npos)
        << created;
    EXPECT_EQ(SizeOf("film.avi.001.pcw"), -1);
}

// verify reads every part and writes nothing: a part per line for what is
// wrong, a summary, 0 only for a whole set.
TEST_P(CommandsTest, VerifyNamesEveryPartThatIsMissingShortDamagedOrExtra) {
    Source(5 * 1000000 + 123);
    ASSERT_EQ(Pcw({"split", dir / "film.avi", "--bytes", "1000000", "--md5"}), 0);
    const std::string first = dir / "film.avi.001.pcw";
    ASSERT_EQ(Pcw({"verify", first, "--verbose"}), 0);
    EXPECT_NE(out.str().find(Say(TextId::VerifyPartLine,
                                 {"6", dir / "film.avi.006.pcw", Say(TextId::VerifyPartIntact)})),
              std::string::npos)
        << out.str();
    EXPECT_NE(out.str().find(Say(TextId::VerifyWhole, {"6", Say(TextId::VerifyAllIntact)})),
              std::string::npos);

    std::string third = ReadFile(dir / "film.avi.003.pcw");
    third[4000] ^= 0x40;
    WriteFile(dir / "film.avi.003.pcw", third);
    std::filesystem::resize_file(dir / "film.avi.002.pcw", 999000);
    std::filesystem::remove(dir / "film.avi.005.pcw");
    WriteFile(dir / "film.avi.007.pcw", "stray");
    auto snapshot = [&] {
        std::vector<std::string> files;
        for (const std::string& name : ListDir(dir.path())) files.push_back(ReadFile(dir / name));
        return files;
    };
    const auto before = snapshot();
    EXPECT_EQ(Pcw({"verify", first}), 1);
    const std::string said = out.str();
    const struct {
        const char* number;
        std::string problem;
    } faults[] = {
        {"2", Say(TextId::JudgedPartShort, {"999000", "1000000"})},
        {"3", Say(TextId::JudgedPartDamaged)},
        {"5", Say(TextId::JudgedPartMissing)},
        {"7", Say(TextId::JudgedPartExtra)},
    };
    for (const auto& fault : faults)
        EXPECT_NE(
            said.find(Say(TextId::VerifyPartLine,
                          {fault.number, dir / "film.avi.00" + std::string(fault.number) + ".pcw",
                           fault.problem})),
            std::string::npos)
            << said;
    EXPECT_EQ(said.find(first), std::string::npos);  // good parts only with --verbose
    EXPECT_NE(said.find(Say(TextId::VerifyDamagedMany, {"3", "6"})), std::string::npos);
    EXPECT_TRUE(snapshot() == before);
}

TEST_P(CommandsTest, VerifyOfASetWithoutDigestsChecksPresenceAndSizes) {
    // A set that coreutils split writes: only the names and sizes say anything.
    Source(3 * 400000 + 5);
    if (!platform::HasTool("split")) GTEST_SKIP() << "split is not installed";
    ASSERT_TRUE(platform::RunTool({"split", "-b", "400000", "-d", "-a", "3", "--numeric-suffixes=1",
                                   dir / "film.avi", dir / "film.avi."}));
    const std::string first = dir / "film.avi.001";
    const std::string onlySizes = Say(TextId::VerifyWithoutDigests);
    EXPECT_EQ(Pcw({"verify", first, "--format", "generic"}), 0);
    EXPECT_NE(out.str().find(onlySizes), std::string::npos) << out.str();
    // The last part may hold less than the others, never more.
    WriteFile(dir / "film.avi.004", RandomBytes(400001, 3));
    EXPECT_EQ(Pcw({"verify", first, "--format", "generic"}), 1);
    EXPECT_NE(out.str().find(Say(
                  TextId::VerifyPartLine,
                  {"4", dir / "film.avi.004", Say(TextId::JudgedPartLong, {"400001", "400000"})})),
              std::string::npos)
        << out.str();
}

// verify, info and join judge a set alike, and in bounded time: a stray
// part numbered far past the set is a run of missing parts, not a billion
// looks; a lone file is no set; a last part as large as the others is said.
TEST_P(CommandsTest, VerifyInfoAndJoinJudgeASetAlike) {
    const struct {
        std::vector<std::pair<std::string, size_t>> files;
        int status;            // of verify and of the join
        std::string verified;  // a line of verify's
        std::string joined;    // what the join says, when it refuses
    } cases[] = {
        {{{"x.001", 100}, {"x.002", 100}, {"x.003", 40}, {"x.999999999", 5}},
         1,
         Say(TextId::VerifyRunLine,
             {"4", "999999998", dir / "x.004", Say(TextId::JudgedPartsMissing)}),
         // The first part at fault, as verify lists it: no more the last.
         Say(TextId::JudgedPartAtFault, {"3", Say(TextId::JudgedPartShort, {"40", "100"})})},
        {{{"x.001", 100}}, 1, Say(TextId::SetLonePart), Say(TextId::SetLonePart)},
        {{{"x.001", 100}, {"x.002", 100}},
         0,
         Say(TextId::VerifyNoteLine, {Say(TextId::VerifyMayContinue)}),
         ""},
        {{{"x.001", 100}, {"x.002", 99}, {"x.003", 40}},
         1,
         Say(TextId::VerifyPartLine,
             {"2", dir / "x.002", Say(TextId::JudgedPartShort, {"99", "100"})}),
         Say(TextId::JudgedPartAtFault, {"2", Say(TextId::JudgedPartShort, {"99", "100"})})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.verified);
        for (const std::string& name : ListDir(dir.path())) std::filesystem::remove(dir / name);
        for (const auto& [name, size] : c.files) WriteFile(dir / name, RandomBytes(size, 4));
        EXPECT_EQ(Pcw({"verify", dir / "x.001", "--format", "generic"}), c.status);
        EXPECT_NE(out.str().find(c.verified), std::string::npos) << out.str();
        EXPECT_EQ(Pcw({"info", dir / "x.001", "--format", "generic"}), 0);
        EXPECT_EQ(out.str().find(LeadOf(TextId::InfoSetDamaged)) == std::string::npos,
                  c.status == 0)
            << out.str();
        EXPECT_EQ(Pcw({"join", dir / "x.001", "--format", "generic", "--name", "joined"}),
                  c.status);
        if (c.status != 0) {
            const auto texts = sink.texts();
            EXPECT_TRUE(std::any_of(texts.begin(), texts.end(), [&](const std::string& text) {
                return text.find(c.joined) != std::string::npos;
            })) << testing::PrintToString(texts);
            EXPECT_FALSE(platform::FileExists(dir / "joined"));
        }
    }
}

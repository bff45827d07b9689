// pcw on real file systems that refuse: a disk that fills, a read-only mount,
// a user without rights. Each run must end with status 1 and its own message,
// say nothing of success and leave every input as it was. Mounting needs the
// rights of root and runuser a user to become: where the machine does not
// give them, the test says so and is skipped.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "support/TestSupport.h"

using namespace testsupport;
namespace fs = std::filesystem;

namespace {

struct PcwRun {
    int status = -1;
    std::string messages;  // stderr
};

std::string Quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// A shell command's exit status, its output thrown away.
int Shell(const std::string& command) {
    const int status = std::system((command + " >/dev/null 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Makes a folder and its files readable and passable for every user.
void OpenToAll(const std::string& path) {
    std::error_code ec;
    fs::permissions(path,
                    fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                        fs::perms::others_read | fs::perms::others_exec,
                    ec);
}

// Every file below a folder with its bytes.
std::map<std::string, std::string> Tree(const std::string& folder) {
    std::map<std::string, std::string> files;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(folder, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
        if (it->is_regular_file()) files[fs::relative(it->path(), folder)] = ReadFile(it->path());
    return files;
}

// A file system mounted on a folder of its own, unmounted with the object.
class Mount {
public:
    // A tmpfs of `options` (size=..., mode=...) on a new folder below `parent`.
    Mount(const std::string& parent, const std::string& options) : point_(parent + "mnt/") {
        fs::create_directory(point_);
        mounted_ = Shell("mount -t tmpfs -o " + options + " pcw-test " + Quoted(point_)) == 0;
    }
    ~Mount() {
        if (mounted_) Shell("umount " + Quoted(point_) + " || umount -l " + Quoted(point_));
    }
    Mount(const Mount&) = delete;
    Mount& operator=(const Mount&) = delete;

    bool mounted() const { return mounted_; }
    bool MakeReadOnly() { return Shell("mount -o remount,ro " + Quoted(point_)) == 0; }
    const std::string& path() const { return point_; }
    std::string operator/(const std::string& name) const { return point_ + name; }

private:
    std::string point_;
    bool mounted_ = false;
};

class RealFsFaultTest : public ::testing::Test {
protected:
    void SetUp() override { OpenToAll(dir.path()); }

    // Runs pcw with its settings in the scratch folder, as `user` when given.
    PcwRun Pcw(const std::string& arguments, const std::string& user = "") {
        std::string command = "env PARCELWISE_REGISTRY_DIR=" + Quoted(dir / "registry") + " " +
                              Quoted(PCW_BINARY) + " " + arguments;
        if (!user.empty()) command = "runuser -u " + user + " -- " + command;
        const std::string messages = dir / "stderr.txt";
        const int status =
            std::system((command + " </dev/null >/dev/null 2>" + Quoted(messages)).c_str());
        PcwRun run;
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.messages = ReadFile(messages);
        std::remove(messages.c_str());
        return run;
    }

    // The folder `name` in the scratch folder, open to every user.
    std::string Folder(const std::string& name) {
        const std::string folder = dir / (name + "/");
        fs::create_directory(folder);
        OpenToAll(folder);
        return folder;
    }

    // A set of three parts of `film.avi` (1.5 Mo) in `folder`, split by pcw.
    void MakeSet(const std::string& folder) {
        source = RandomBytes(1572864, 5);
        WriteFile(folder + "film.avi", source);
        ASSERT_EQ(Pcw("split " + Quoted(folder + "film.avi") + " --bytes 600000 --md5").status, 0);
        std::remove((folder + "film.avi").c_str());
    }

    // Refused before any work: status 1, the message, no word of success.
    static void ExpectRefused(const PcwRun& run, const std::string& text) {
        EXPECT_EQ(run.status, 1) << run.messages;
        EXPECT_NE(run.messages.find(text), std::string::npos) << run.messages;
        EXPECT_EQ(run.messages.find("succès"), std::string::npos) << run.messages;
    }
    // Stopped during the work: the same, and the end of a failed run.
    static void ExpectFailed(const PcwRun& run, const std::string& text) {
        ExpectRefused(run, text);
        EXPECT_NE(run.messages.find("Le processus a été arrêté à cause d'une erreur !"),
                  std::string::npos)
            << run.messages;
    }

    // Skips the test when this machine lets nobody become `nobody`.
    bool CanBecomeNobody() { return Shell("runuser -u nobody -- true") == 0; }

    TempDir dir;
    std::string source;
};

#define REQUIRE_MOUNT(mount) \
    if (!(mount).mounted())  \
    GTEST_SKIP() << "cannot mount a tmpfs here (needs root or CAP_SYS_ADMIN): not tested"

#define REQUIRE_NOBODY() \
    if (!CanBecomeNobody()) GTEST_SKIP() << "runuser -u nobody is not permitted here: not tested"

const char kCreateFailed[] =
    "Une erreur est survenue pendant la création du fichier de destination";

template <class T>
std::string Bytes(T value) {
    return std::string(reinterpret_cast<const char*>(&value), sizeof value);
}

// The first part of a 1.0 set of two parts holding `data`: the lead block,
// the data's first half, the description block, the second half.
std::string LegacyFirstPart(const std::string& data, const std::string& name) {
    const int32_t half = static_cast<int32_t>(data.size() / 2);
    std::string lead = std::string(1, '\x11') + "Corvane(c) - 2004" + std::string(2, '\0') +
                       Bytes<int32_t>(static_cast<int32_t>(data.size()) * 2) +
                       Bytes<int32_t>(static_cast<int32_t>(data.size())) + Bytes<int32_t>(half) +
                       std::string(4, '\0');
    std::string description = std::string(1, '\x0a') + "Parcelwise" +
                              std::string(1, static_cast<char>(name.size())) + name;
    description.resize(112, '\0');
    description += Bytes<int32_t>(2) + std::string(4, '\0') + Bytes<double>(38000.5) +
                   Bytes<int32_t>(0) + std::string(4, '\0');
    return lead + data.substr(0, half) + description + data.substr(half);
}

}  // namespace

TEST_F(RealFsFaultTest, ASplitOntoAFullDiskFailsOnThePartItCouldNotWrite) {
    Mount full(dir.path(), "size=2m");
    REQUIRE_MOUNT(full);
    // Parts of one page and one byte take two pages each: the disk fills
    // halfway although the free space counted in bytes was enough.
    const std::string folder = Folder("source");
    source = RandomBytes(1572864, 3);
    WriteFile(folder + "film.avi", source);
    const PcwRun run = Pcw("split " + Quoted(folder + "film.avi") + " --bytes 4097 --folder " +
                           Quoted(full.path()));
    ExpectFailed(run, "Erreur d'écriture dans le fichier *.");
    // The message says what the system said, not a guess.
    EXPECT_NE(run.messages.find(".pcw : disque plein"), std::string::npos) << run.messages;
    EXPECT_TRUE(ReadFile(folder + "film.avi") == source);
    EXPECT_EQ(ListDir(folder), (std::vector<std::string>{"film.avi"}));
}

TEST_F(RealFsFaultTest, AJoinOntoAFullDisk) {
    Mount full(dir.path(), "size=1m");
    REQUIRE_MOUNT(full);
    const std::string folder = Folder("set");
    MakeSet(folder);
    const auto set = Tree(folder);

    // A native set announces its size: the join is refused before it writes.
    PcwRun run =
        Pcw("join " + Quoted(folder + "film.avi.001.pcw") + " --folder " + Quoted(full.path()));
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.messages.find("Il n'y a pas assez d'espace sur le disque dur"), std::string::npos)
        << run.messages;
    EXPECT_EQ(run.messages.find("succès"), std::string::npos);
    EXPECT_TRUE(ListDir(full.path()).empty());

    // An EasySplit set announces one part less than it holds (the last part is
    // not measured at the open): the disk fills during the copy.
    const std::string es = Folder("es");
    WriteFile(es + "big.000", "EasySpl000002bin" + RandomBytes(1000000, 1));
    WriteFile(es + "big.001", "EasySpl001002bin" + RandomBytes(1000000, 2));
    const auto esSet = Tree(es);
    run = Pcw("join --format easysplit " + Quoted(es + "big.000") + " --folder " +
              Quoted(full.path()));
    ExpectFailed(run, "Erreur d'écriture dans le fichier de destination.");
    EXPECT_NE(run.messages.find("big.bin.incomplet : disque plein"), std::string::npos)
        << run.messages;
    EXPECT_NE(run.messages.find("Le fichier recollé est incomplet ; il a été laissé sous le nom"),
              std::string::npos)
        << run.messages;
    // The partial file is only ever under its temporary name.
    EXPECT_EQ(ListDir(full.path()), std::vector<std::string>{"big.bin.incomplet"});
    EXPECT_TRUE(Tree(folder) == set);
    EXPECT_TRUE(Tree(es) == esSet);
}

TEST_F(RealFsFaultTest, NothingIsWrittenOntoAReadOnlyMount) {
    Mount readOnly(dir.path(), "size=8m");
    REQUIRE_MOUNT(readOnly);
    ASSERT_TRUE(readOnly.MakeReadOnly());
    const std::string folder = Folder("set");
    MakeSet(folder);
    const auto set = Tree(folder);
    source = RandomBytes(1200000, 9);
    WriteFile(dir / "film2.avi", source);

    PcwRun run =
        Pcw("split " + Quoted(dir / "film2.avi") + " --size 1 --folder " + Quoted(readOnly.path()));
    ExpectFailed(run, kCreateFailed);
    run =
        Pcw("join " + Quoted(folder + "film.avi.001.pcw") + " --folder " + Quoted(readOnly.path()));
    ExpectFailed(run, kCreateFailed);
    EXPECT_TRUE(ListDir(readOnly.path()).empty());
    EXPECT_TRUE(Tree(folder) == set);
    EXPECT_TRUE(ReadFile(dir / "film2.avi") == source);
}

TEST_F(RealFsFaultTest, AConversionOnAReadOnlyMountLeavesTheOldSetWhole) {
    Mount media(dir.path(), "size=8m");
    REQUIRE_MOUNT(media);
    WriteFile(media / "old.001.pcw", LegacyFirstPart(RandomBytes(300000, 1), "old.bin"));
    WriteFile(media / "old.002.pcw", RandomBytes(300000, 2));
    ASSERT_TRUE(media.MakeReadOnly());
    const auto set = Tree(media.path());
    const PcwRun run = Pcw("convert " + Quoted(media / "old.001.pcw"));
    ExpectFailed(run, "Une erreur est survenue pendant la création du fichier conversion");
    EXPECT_TRUE(Tree(media.path()) == set);
}

TEST_F(RealFsFaultTest, ASetOnAReadOnlyMountStillJoinsElsewhere) {
    Mount media(dir.path(), "size=8m");
    REQUIRE_MOUNT(media);
    MakeSet(media.path());
    ASSERT_TRUE(media.MakeReadOnly());
    const std::string out = Folder("out");
    const PcwRun run =
        Pcw("join " + Quoted(media / "film.avi.001.pcw") + " --folder " + Quoted(out));
    EXPECT_EQ(run.status, 0) << run.messages;
    EXPECT_TRUE(ReadFile(out + "film.avi") == source);
}

TEST_F(RealFsFaultTest, AUserWithoutRightsIsToldAndNothingIsTouched) {
    REQUIRE_NOBODY();
    const std::string folder = Folder("set");
    MakeSet(folder);
    const std::string closed = Folder("closed");
    fs::permissions(closed, fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
    const std::string out = Folder("out");
    fs::permissions(out, fs::perms::all);

    // A source it cannot read.
    WriteFile(closed + "secret.avi", RandomBytes(1100000, 4));
    fs::permissions(closed + "secret.avi", fs::perms::owner_read | fs::perms::owner_write);
    const auto closedBefore = Tree(closed);
    PcwRun run =
        Pcw("split " + Quoted(closed + "secret.avi") + " --bytes 600000 --folder " + Quoted(out),
            "nobody");
    ExpectRefused(run, "Impossible d'ouvrir le fichier !");

    // A folder it cannot write.
    WriteFile(out + "open.avi", RandomBytes(1100000, 6));
    fs::permissions(out + "open.avi", fs::perms::all);
    run = Pcw("split " + Quoted(out + "open.avi") + " --bytes 600000 --folder " + Quoted(closed),
              "nobody");
    ExpectFailed(run, kCreateFailed);
    EXPECT_TRUE(Tree(closed) == closedBefore);
    const auto set = Tree(folder);
    run = Pcw("join " + Quoted(folder + "film.avi.001.pcw") + " --folder " + Quoted(closed),
              "nobody");
    ExpectFailed(run, kCreateFailed);
    EXPECT_TRUE(Tree(closed) == closedBefore);

    // A part it cannot read, with the digests checked and without.
    fs::permissions(folder + "film.avi.002.pcw", fs::perms::owner_read | fs::perms::owner_write);
    run = Pcw("join " + Quoted(folder + "film.avi.001.pcw") + " --folder " + Quoted(out), "nobody");
    ExpectFailed(run, "Le fichier n°2 n'est pas accessible !");
    run = Pcw("join " + Quoted(folder + "film.avi.001.pcw") +
                  " --no-verify --name plain.avi --folder " + Quoted(out),
              "nobody");
    // Every part is opened before the output is created, so the part is named
    // and nothing is written.
    ExpectFailed(run, "Le fichier n°2 n'est pas accessible !");
    EXPECT_FALSE(fs::exists(out + "plain.avi"));
    EXPECT_TRUE(Tree(folder) == set);
}

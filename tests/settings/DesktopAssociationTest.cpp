// The desktop entry and MIME package written at start, beside an installed
// copy of the program: one menu item, whichever of the two is started.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/Env.h"
#include "settings/DesktopAssociation.h"
#include "support/TestSupport.h"

using namespace testsupport;

namespace {

class DesktopAssociationTest : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::SetEnv("XDG_DATA_HOME", (dir / "data").c_str());
        testsupport::SetEnv("XDG_DATA_DIRS", (dir / "usr/share").c_str());
        savedPath_ = std::getenv("PATH") ? std::getenv("PATH") : "";
        mimeTool_ = platform::FindOnPath("update-mime-database").value_or("");
        testsupport::SetEnv("PATH", (dir / "usr/bin").c_str());
    }
    void TearDown() override { testsupport::SetEnv("PATH", savedPath_.c_str()); }

    std::string UserEntry() { return dir / "data/applications/org.parcelwise.Parcelwise.desktop"; }
    std::string UserMime() { return dir / "data/mime/packages/org.parcelwise.Parcelwise.xml"; }
    // Compiles the MIME database of a data folder as a package's trigger or
    // an install does.
    void UpdateMimeDatabase(const std::string& dataFolder) {
        ASSERT_TRUE(platform::RunTool({mimeTool_, dataFolder + "/mime"}));
    }
    // Lets the program find the tool on its PATH.
    void OfferMimeTool() {
        std::filesystem::create_directories(dir / "usr/bin");
        std::filesystem::create_symlink(mimeTool_, dir / "usr/bin/update-mime-database");
    }
    // What a package installs under the prefix usr/ of the scratch folder,
    // with the MIME database that its trigger compiles, or without.
    std::string Install(bool withDatabase = true) {
        std::filesystem::create_directories(dir / "usr/bin");
        std::filesystem::create_directories(dir / "usr/share/applications");
        std::filesystem::create_directories(dir / "usr/share/mime/packages");
        const std::string program = dir / "usr/bin/parcelwise";
        WriteFile(program, "#!/bin/sh\n");
        std::filesystem::permissions(program, std::filesystem::perms::owner_all);
        WriteFile(dir / "usr/share/applications/org.parcelwise.Parcelwise.desktop",
                  DesktopEntryText("parcelwise"));
        WriteFile(dir / "usr/share/mime/packages/org.parcelwise.Parcelwise.xml", MimePackageText());
        if (withDatabase) UpdateMimeDatabase(dir / "usr/share");
        return program;
    }

    TempDir dir;
    std::string savedPath_;
    std::string mimeTool_;
};

TEST_F(DesktopAssociationTest, EntryAndPackageCarryTheInstalledIdAndIcon) {
    ASSERT_TRUE(WriteDesktopAssociation("/opt/pcw/parcelwise"));
    const std::string entry = ReadFile(UserEntry());
    EXPECT_NE(entry.find("\nExec=/opt/pcw/parcelwise %f\n"), std::string::npos) << entry;
    EXPECT_NE(entry.find("\nIcon=org.parcelwise.Parcelwise\n"), std::string::npos) << entry;
    EXPECT_NE(entry.find("\nMimeType=application/x-parcelwise;\n"), std::string::npos) << entry;
    EXPECT_NE(entry.find("\nStartupWMClass=parcelwise\n"), std::string::npos) << entry;
    const std::string mime = ReadFile(UserMime());
    EXPECT_NE(mime.find("<glob pattern=\"*.001.pcw\"/>"), std::string::npos) << mime;
    EXPECT_NE(mime.find("<glob pattern=\"*.pcw\"/>"), std::string::npos) << mime;
    EXPECT_FALSE(std::filesystem::exists(dir / "data/applications/parcelwise.desktop"));
}

TEST_F(DesktopAssociationTest, InstalledProgramWritesNothingForTheUser) {
    const std::string program = Install();
    ASSERT_TRUE(WriteDesktopAssociation(program));
    EXPECT_FALSE(std::filesystem::exists(dir / "data")) << ReadFile(UserEntry());

    // Started through a link to the installed program: still the same program.
    std::filesystem::create_directories(dir / "opt");
    std::filesystem::create_symlink(program, dir / "opt/parcelwise");
    ASSERT_TRUE(WriteDesktopAssociation(dir / "opt/parcelwise"));
    EXPECT_FALSE(std::filesystem::exists(dir / "data"));
}

TEST_F(DesktopAssociationTest, CopyBesideTheInstalledOneKeepsItsOwnEntry) {
    Install();
    // A build of the program elsewhere: the installed entry would start the
    // other one, so the user's entry, which wins, must point here.
    ASSERT_TRUE(WriteDesktopAssociation("/home/u/src/build/ui/parcelwise"));
    EXPECT_NE(ReadFile(UserEntry()).find("\nExec=/home/u/src/build/ui/parcelwise %f\n"),
              std::string::npos);
    // Its MIME package is the installed one already.
    EXPECT_FALSE(std::filesystem::exists(UserMime()));

    // Back to the installed program: the user's entry would hide the installed
    // one and start the build, so it says what the installed one says.
    ASSERT_TRUE(WriteDesktopAssociation(dir / "usr/bin/parcelwise"));
    EXPECT_EQ(ReadFile(UserEntry()), DesktopEntryText("parcelwise"));
}

TEST_F(DesktopAssociationTest, OutdatedInstalledPackageIsCompletedForTheUser) {
    const std::string program = Install();
    WriteFile(dir / "usr/share/mime/packages/org.parcelwise.Parcelwise.xml", "<mime-info/>\n");
    ASSERT_TRUE(WriteDesktopAssociation(program));
    EXPECT_EQ(ReadFile(UserMime()), MimePackageText());
    EXPECT_FALSE(std::filesystem::exists(UserEntry()));
}

// Only the compiled database tells file managers the type: an installed
// package that never reached it, as after a source install that ran no
// update-mime-database, leaves the parts unknown, so the user gets one that
// does.
TEST_F(DesktopAssociationTest, InstalledPackageCountsOnceItsDatabaseAnswers) {
    if (mimeTool_.empty()) GTEST_SKIP() << "update-mime-database missing (shared-mime-info)";
    const std::string program = Install(false);
    OfferMimeTool();
    EXPECT_FALSE(MimeDatabaseAnswers(dir / "usr/share/"));
    ASSERT_TRUE(WriteDesktopAssociation(program));
    EXPECT_EQ(ReadFile(UserMime()), MimePackageText());
    EXPECT_TRUE(MimeDatabaseAnswers(dir / "data/"));
    // The installed entry starts this program: the user needs no entry.
    EXPECT_FALSE(std::filesystem::exists(UserEntry()));

    // The user's package is there but its database is gone: it is compiled
    // again, though the package itself is unchanged.
    std::filesystem::remove(dir / "data/mime/globs2");
    ASSERT_TRUE(WriteDesktopAssociation(program));
    EXPECT_TRUE(MimeDatabaseAnswers(dir / "data/"));
}

// What a folder's database must hold for the parts to be ours, each line
// as update-mime-database writes it.
TEST_F(DesktopAssociationTest, DatabaseAnswersOnlyWithEveryNameAndTheContent) {
    if (mimeTool_.empty()) GTEST_SKIP() << "update-mime-database missing (shared-mime-info)";
    Install();
    const std::string share = dir / "usr/share/";
    ASSERT_TRUE(MimeDatabaseAnswers(share));
    const std::string globs = ReadFile(share + "mime/globs2");
    const std::string magic = ReadFile(share + "mime/magic");
    auto without = [](std::string text, const std::string& line) {
        const size_t at = text.find(line);
        if (at != std::string::npos) text.erase(at, line.size());
        return text;
    };
    struct Case {
        const char* what;
        std::string globs, magic;
    };
    const Case cases[] = {
        {"no name of a first part", without(globs, ":application/x-parcelwise:*.001.pcw\n"), magic},
        {"no name of the other parts", without(globs, ":application/x-parcelwise:*.pcw\n"), magic},
        {"no rule for the content", globs, without(magic, ":application/x-parcelwise]\n")},
        {"the names for another type",
         without(without(globs, ":application/x-parcelwise:*.001.pcw\n"),
                 ":application/x-parcelwise:*.pcw\n") +
             "50:application/x-other:*.pcw\n50:application/x-other:*.001.pcw\n",
         magic},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFile(share + "mime/globs2", c.globs);
        WriteFile(share + "mime/magic", c.magic);
        EXPECT_FALSE(MimeDatabaseAnswers(share));
    }
    std::filesystem::remove(share + "mime/magic");
    WriteFile(share + "mime/globs2", globs);
    EXPECT_FALSE(MimeDatabaseAnswers(share)) << "without a magic file";
}

TEST_F(DesktopAssociationTest, EntryOfTheOldNameLeavesTheMenu) {
    const std::string old = dir / "data/applications/parcelwise.desktop";
    const std::string own =
        "[Desktop Entry]\nType=Application\nName=Parcelwise\nExec=/x/parcelwise %f\n"
        "MimeType=application/x-parcelwise;\n";
    std::filesystem::create_directories(dir / "data/applications");
    WriteFile(old, own);
    WriteFile(dir / "data/applications/parcelwise-notes.desktop", "[Desktop Entry]\nName=Mine\n");
    ASSERT_TRUE(WriteDesktopAssociation("/opt/pcw/parcelwise"));
    EXPECT_EQ(ReadFile(old), own + "Hidden=true\n");
    ASSERT_TRUE(WriteDesktopAssociation("/opt/pcw/parcelwise"));
    EXPECT_EQ(ReadFile(old), own + "Hidden=true\n");
    EXPECT_EQ(ReadFile(dir / "data/applications/parcelwise-notes.desktop"),
              "[Desktop Entry]\nName=Mine\n");
}

// Paths are the user's: whatever they hold must reach the launcher as one
// argument, and must not add keys or field codes to the entry.
TEST_F(DesktopAssociationTest, ExecKeepsAnyPathAsOneArgument) {
    auto exec = [](const std::string& path) {
        const std::string entry = DesktopEntryText(path);
        const size_t start = entry.find("\nExec=") + 6;
        return entry.substr(start, entry.find('\n', start) - start);
    };
    EXPECT_EQ(exec("/home/u/100%/parcelwise"), "/home/u/100%%/parcelwise %f");
    EXPECT_EQ(exec("/home/u/a b/parcelwise"), "\"/home/u/a b/parcelwise\" %f");
    EXPECT_EQ(exec("/tmp/x\nTerminal=true/parcelwise"), "\"/tmp/x\\nTerminal=true/parcelwise\" %f");
    EXPECT_EQ(exec("/tmp/it's/(1)/parcelwise"), "\"/tmp/it's/(1)/parcelwise\" %f");
    EXPECT_EQ(exec("/tmp/\"q\"/`x`/$y\\z/p"),
              "\"/tmp/\\\\\"q\\\\\"/\\\\`x\\\\`/\\\\$y\\\\\\\\z/p\" %f");

    testsupport::SetEnv("PATH", savedPath_.c_str());
    if (!platform::HasTool("desktop-file-validate"))
        GTEST_SKIP() << "desktop-file-validate missing";
    const std::string path = dir / "org.parcelwise.Parcelwise.desktop";
    WriteFile(path, DesktopEntryText("/home/u/100% sûr/it's \"x\"\t$(y)\n`z`/parcelwise"));
    EXPECT_TRUE(platform::RunTool({"desktop-file-validate", path})) << ReadFile(path);
}

}  // namespace

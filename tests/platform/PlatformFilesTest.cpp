// The file layer's promises that the jobs build on: outputs never replace a
// file, renames never replace one, names from part files stay plain names.
#include <gtest/gtest.h>

#include <cerrno>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "platform/Errors.h"
#include "platform/File.h"
#include "platform/Fs.h"
#include "support/TestSupport.h"

using namespace testsupport;
using platform::File;

TEST(File, CreateNewNeverOverwrites) {
    TempDir dir;
    WriteFile(dir / "kept", "precious");
    File again = File::CreateNew(dir / "kept");
    EXPECT_FALSE(again.IsOpen());
    EXPECT_EQ(again.OpenError(), EEXIST);
    EXPECT_EQ(ReadFile(dir / "kept"), "precious");

    // Nor through a dangling link, which would create the file elsewhere.
    if (kHasLinks) {
        ASSERT_TRUE(MakeSymlink(dir / "elsewhere", dir / "link"));
        EXPECT_FALSE(File::CreateNew(dir / "link").IsOpen());
        EXPECT_FALSE(platform::FileExists(dir / "elsewhere"));
    }

    File fresh = File::CreateNew(dir / "fresh");
    ASSERT_TRUE(fresh.IsOpen());
    EXPECT_TRUE(fresh.Write("abc", 3).ok());
    EXPECT_TRUE(fresh.Close());
    EXPECT_EQ(ReadFile(dir / "fresh"), "abc");
}

TEST(RenameNoReplace, RefusesAnExistingTarget) {
    TempDir dir;
    WriteFile(dir / "from", "new");
    WriteFile(dir / "to", "old");
    EXPECT_FALSE(platform::RenameNoReplace(dir / "from", dir / "to"));
    EXPECT_EQ(ReadFile(dir / "from"), "new");
    EXPECT_EQ(ReadFile(dir / "to"), "old");

    EXPECT_TRUE(platform::RenameNoReplace(dir / "from", dir / "free"));
    EXPECT_FALSE(platform::FileExists(dir / "from"));
    EXPECT_EQ(ReadFile(dir / "free"), "new");
}

TEST(SafeFileName, TurnsAnyStoredNameIntoAPlainName) {
    const struct {
        std::string stored, safe;
    } cases[] = {
        {"film.avi", "film.avi"},
        {"Été 2005 €.avi", "Été 2005 €.avi"},
        {"../evil", ".._evil"},
        {"a/b", "a_b"},
        // A backslash is a character of a name on Linux, a separator on Windows.
        {"a\\b", platform::kNameRules == platform::NameRules::Windows ? "a_b" : "a\\b"},
        {"/etc/passwd", "_etc_passwd"},
        {"..", "__"},
        {".", "_"},
        {"...", "___"},
        {".hidden", ".hidden"},
        {"", "_"},
        {std::string("a\0b", 3), "a_b"},
        {"line\nbreak\r\t", "line_break__"},
        {"del\x7F", "del_"},
        {"c1\xC2\x85x", "c1_x"},  // U+0085, a C1 control
    };
    for (const auto& c : cases) {
        EXPECT_EQ(platform::SafeFileName(c.stored), c.safe) << c.stored;
        EXPECT_TRUE(platform::IsSafeFileName(platform::SafeFileName(c.stored)));
        EXPECT_EQ(platform::IsSafeFileName(c.stored), c.stored == c.safe) << c.stored;
    }
}

// A pipe or a folder named like a part is refused at once instead of holding
// the job until someone writes into it.
TEST(PlatformFiles, OnlyRegularFilesOpen) {
    testsupport::TempDir dir;
#ifndef _WIN32
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
    EXPECT_FALSE(platform::File::OpenRead(dir / "pipe").IsOpen());
    EXPECT_FALSE(platform::File::OpenWrite(dir / "pipe").IsOpen());
#endif
    EXPECT_EQ(platform::File::OpenRead(dir.path()).OpenError(), EISDIR);
    EXPECT_FALSE(platform::IsRegularFile(dir.path()));
    EXPECT_EQ(platform::RegularFileError(dir.path()), EISDIR);
}

// A file that a job made and finds again by name must still be that file: a
// link put in its place, or another file, is never written or read instead.
TEST(PlatformFiles, FilesFoundAgainByNameAreTheFilesMade) {
    testsupport::TempDir dir;
    testsupport::WriteFile(dir / "outside", "kept");
    File made = File::CreateNew(dir / "part", platform::Access::ReadWrite);
    ASSERT_TRUE(made.IsOpen());
    ASSERT_TRUE(made.Write("data", 4).ok());
    const platform::FileIdentity identity = made.Identity().value();
    EXPECT_TRUE(made.IsNamedBy(dir / "part"));
    ASSERT_TRUE(made.Close());
    EXPECT_TRUE(File::OpenReadSame(dir / "part", identity).IsOpen());

    ASSERT_TRUE(platform::RenameNoReplace(dir / "part", dir / "moved"));
    if (kHasLinks) {
        ASSERT_TRUE(MakeSymlink(dir / "outside", dir / "part"));
        EXPECT_EQ(File::OpenReadSame(dir / "part", identity).OpenError(), ELOOP);
        EXPECT_EQ(File::OpenWrite(dir / "part").OpenError(), ELOOP);
        std::filesystem::remove(FsPath(dir / "part"));
    }
    testsupport::WriteFile(dir / "part", "data");
    EXPECT_EQ(File::OpenReadSame(dir / "part", identity).OpenError(), ESTALE);
    EXPECT_EQ(testsupport::ReadFile(dir / "outside"), "kept");
}

// A job names the files it writes by absolute paths: the folder is resolved,
// the name is kept as the user gave it, even when it is a link.
TEST(AbsolutePath, ResolvesTheFolderAndKeepsTheName) {
    PCW_SKIP_WITHOUT_LINKS();
#ifndef _WIN32
    TempDir dir;
    ASSERT_TRUE(platform::MakeFolders(dir / "real/inner"));
    ASSERT_EQ(::symlink((dir / "real").c_str(), (dir / "via").c_str()), 0);
    WriteFile(dir / "real/inner/file", "x");
    ASSERT_EQ(::symlink("file", (dir / "real/inner/named").c_str()), 0);
    const std::string real = platform::AbsolutePath(dir.path());
    EXPECT_EQ(platform::AbsolutePath(dir / "via/inner/named"), real + "real/inner/named");
    EXPECT_EQ(platform::AbsolutePath(dir / "via/inner/../inner/new"), real + "real/inner/new");

    // A folder that does not exist is left as given, under the working folder
    // when relative.
    EXPECT_EQ(platform::AbsolutePath("/no/such/folder/x"), "/no/such/folder/x");
    char cwd[4096];
    ASSERT_NE(::getcwd(cwd, sizeof cwd), nullptr);
    EXPECT_EQ(platform::AbsolutePath("no-such-folder/x"), std::string(cwd) + "/no-such-folder/x");
    EXPECT_EQ(platform::AbsolutePath("plain"), platform::WithSeparator(cwd) + "plain");
#endif
}

TEST(MakeFolders, MakesEveryMissingFolderAndRefusesAFileInTheWay) {
    TempDir dir;
    EXPECT_TRUE(platform::MakeFolders(dir / "a/b/c"));
    EXPECT_TRUE(platform::IsFolder(dir / "a/b/c"));
    EXPECT_TRUE(platform::MakeFolders(dir / "a/b/c/"));  // already there
    WriteFile(dir / "file", "kept");
    EXPECT_FALSE(platform::MakeFolders(dir / "file"));
    EXPECT_FALSE(platform::MakeFolders(dir / "file/below"));
    EXPECT_EQ(ReadFile(dir / "file"), "kept");
    EXPECT_FALSE(platform::MakeFolders(""));
}

TEST(VisibleText, ShowsEveryControlCharacterAndNothingElse) {
    EXPECT_EQ(platform::VisibleText("a\x1B[2J\x07\x7F\n\r"), "a\\x1b[2J\\x07\\x7f\\x0a\\x0d");
    EXPECT_EQ(platform::VisibleText("\xC2\x9B"
                                    "31m"),
              "\\u009b31m");  // CSI in one character
    EXPECT_EQ(platform::VisibleText("Été € \\ ok"), "Été € \\ ok");
    // Messages keep their line breaks, in the terminal's form; a line feed or
    // a return alone is a name's, and shown.
    EXPECT_EQ(platform::VisibleMessage("un :\n\r\n\rdeux\x1B]0;x\x07\n\rtrois"),
              "un :\n\ndeux\\x1b]0;x\\x07\ntrois");
    EXPECT_EQ(platform::VisibleMessage("Fichier :\n\rfaux\nnom\r.avi\n\r"),
              "Fichier :\nfaux\\x0anom\\x0d.avi\n");
}

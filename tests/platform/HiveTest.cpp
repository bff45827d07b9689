// The hive file as a store: what a save keeps of what it did not write, how
// texts are quoted, and how the file itself (mode, links, size) is treated.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "platform/IoFaults.h"
#include "platform/Registry.h"
#include "support/TestSupport.h"

using namespace testsupport;
using platform::Registry;
using platform::RegRead;
using platform::RegRoot;

namespace {

constexpr char kHeader[] = "Windows Registry Editor Version 5.00\n";

class HiveTest : public ::testing::Test {
protected:
    std::string Hive() { return platform::HiveFile(dir.path(), RegRoot::CurrentUser); }

    // Writes one string value under Software\Parcelwise and reads it back
    // through a fresh store.
    std::optional<std::string> RoundTrip(const std::string& value) {
        {
            Registry reg(RegRoot::CurrentUser, dir.path());
            reg.OpenKey("\\Software\\Parcelwise", true);
            reg.WriteString("v", value);
            if (!reg.Close()) return std::nullopt;
        }
        Registry again(RegRoot::CurrentUser, dir.path());
        std::string out;
        if (!again.Loaded() || !again.OpenKey("\\Software\\Parcelwise", false) ||
            again.ReadString("v", out) != RegRead::Ok)
            return std::nullopt;
        return out;
    }

    TempDir dir;
};

TEST_F(HiveTest, StringsReadBackExactlyWhateverTheyHold) {
    for (const std::string& value :
         {std::string("two\nlines"), std::string("\"quoted\""), std::string("C:\\dir\\"),
          std::string("\\"), std::string("\r\n"), std::string("ends with cr\r"), std::string(""),
          std::string("é\nà"), std::string("nul\0inside", 10), std::string("\xff\xfe\n\xc0\xaf"),
          std::string("\\\"\n\\n")}) {
        EXPECT_EQ(RoundTrip(value), value) << ReadFile(Hive());
    }
}

TEST_F(HiveTest, LineBreaksAreWrittenAsWindowsWritesThem) {
    ASSERT_EQ(RoundTrip("a\nb"), "a\nb");
    // A quoted text cannot span lines: REG_SZ as UTF-16LE hex, terminator included.
    EXPECT_NE(ReadFile(Hive()).find("\"v\"=hex(1):61,00,0a,00,62,00,00,00\n"), std::string::npos)
        << ReadFile(Hive());
    ASSERT_EQ(RoundTrip("say \"hi\" C:\\"), "say \"hi\" C:\\");
    EXPECT_NE(ReadFile(Hive()).find("\"v\"=\"say \\\"hi\\\" C:\\\\\"\n"), std::string::npos)
        << ReadFile(Hive());

    // Windows wraps long hex values over lines ending with a backslash.
    WriteFile(Hive(),
              std::string(kHeader) +
                  "\n[HKEY_CURRENT_USER\\Software\\Parcelwise]\n"
                  "\"v\"=hex(1):e9,00,\\\r\n  0a,00,3d,d8,00,de,00,00\r\n\"n\"=dword:00000002\r\n");
    Registry reg(RegRoot::CurrentUser, dir.path());
    ASSERT_TRUE(reg.OpenKey("\\Software\\Parcelwise", false));
    EXPECT_FALSE(reg.KeyDamaged("\\Software\\Parcelwise"));
    std::string text;
    int32_t n = 0;
    EXPECT_EQ(reg.ReadString("v", text), RegRead::Ok);
    EXPECT_EQ(text, "é\n\xF0\x9F\x98\x80");
    EXPECT_EQ(reg.ReadInteger("n", n), RegRead::Ok);
    EXPECT_EQ(n, 2);
}

TEST_F(HiveTest, SaveKeepsEveryKeyItDidNotWriteAsItWas) {
    const std::string other =
        "[HKEY_CURRENT_USER\\Software\\Other]\n"
        "; a comment of the user's\n"
        "\"Path\"=hex(2):25,00,48,00,00,00\n"
        "\"Blob\"=hex:00,01,\\\n"
        "  02\n"
        "this line means nothing\n"
        "\"Ok\"=dword:00000001\n"
        "\n";
    const std::string after = "[HKEY_CURRENT_USER\\Software\\Zeta]\n\"z\"=\"\\\"\"\n";
    WriteFile(Hive(), std::string(kHeader) + "\n" + other +
                          "[HKEY_CURRENT_USER\\Software\\Parcelwise]\n" +
                          "\"n\"=dword:00000001\n\n" + after);
    {
        Registry reg(RegRoot::CurrentUser, dir.path());
        ASSERT_TRUE(reg.Loaded()) << reg.LoadError();
        EXPECT_TRUE(reg.KeyDamaged("\\Software\\Other"));
        EXPECT_FALSE(reg.KeyDamaged("\\Software\\Parcelwise"));
        ASSERT_TRUE(reg.OpenKey("\\Software\\Other", false));
        int32_t ok = 0;
        EXPECT_EQ(reg.ReadInteger("Ok", ok), RegRead::Ok);
        ASSERT_TRUE(reg.OpenKey("\\Software\\Parcelwise", false));
        reg.WriteInteger("n", 2);
        ASSERT_TRUE(reg.OpenKey("\\Software\\New", true));
        ASSERT_TRUE(reg.Close());
    }
    const std::string saved = ReadFile(Hive());
    EXPECT_NE(saved.find(other), std::string::npos) << saved;
    EXPECT_NE(saved.find(after), std::string::npos) << saved;
    EXPECT_NE(saved.find("[HKEY_CURRENT_USER\\Software\\New]"), std::string::npos) << saved;
    // Nothing unreadable was dropped, so no copy was needed.
    EXPECT_EQ(ListDir(dir.path()), std::vector<std::string>{"HKEY_CURRENT_USER.reg"});

    Registry again(RegRoot::CurrentUser, dir.path());
    int32_t n = 0;
    ASSERT_TRUE(again.OpenKey("\\Software\\Parcelwise", false));
    EXPECT_EQ(again.ReadInteger("n", n), RegRead::Ok);
    EXPECT_EQ(n, 2);
}

TEST_F(HiveTest, RewritingADamagedKeyKeepsTheFileBesideFirst) {
    const std::string original =
        std::string(kHeader) +
        "\n[HKEY_CURRENT_USER\\Software\\Parcelwise]\n\"n\"=dword:0000001\n"
        "\n[HKEY_CURRENT_USER\\Software\\Other]\n\"x\"=\"1\"\n";
    const std::string older = "an older damaged copy\n";
    WriteFile(Hive(), original);
    WriteFile(Hive() + ".damaged", older);
    {
        Registry reg(RegRoot::CurrentUser, dir.path());
        EXPECT_TRUE(reg.KeyDamaged("\\software\\parcelwise"));
        EXPECT_FALSE(reg.KeyDamaged("\\Software\\Other"));
        ASSERT_TRUE(reg.OpenKey("\\Software\\Parcelwise", false));
        reg.WriteInteger("n", 3);
        ASSERT_TRUE(reg.Close());
    }
    EXPECT_EQ(ReadFile(Hive() + ".damaged"), older);
    EXPECT_EQ(ReadFile(Hive() + ".damaged.2"), original);
    const std::string saved = ReadFile(Hive());
    EXPECT_EQ(saved.find("dword:0000001\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("[HKEY_CURRENT_USER\\Software\\Other]\n\"x\"=\"1\"\n"), std::string::npos)
        << saved;

    // The rewritten file is whole again: another save keeps no further copy.
    {
        Registry reg(RegRoot::CurrentUser, dir.path());
        EXPECT_FALSE(reg.KeyDamaged("\\Software\\Parcelwise"));
        reg.OpenKey("\\Software\\Parcelwise", false);
        reg.WriteInteger("n", 4);
        ASSERT_TRUE(reg.Close());
    }
    EXPECT_EQ(ListDir(dir.path()).size(), 3u);
}

TEST_F(HiveTest, AKeyLineThatDoesNotParseDamagesTheKeyItNames) {
    WriteFile(Hive(), std::string(kHeader) +
                          "\n[HKEY_CURRENT_USER\\Software\\Parcelwise\n\"n\"=dword:00000001\n"
                          "\n[HKEY_LOCAL_MACHINE\\Software\\Elsewhere]\n\"x\"=\"1\"\n");
    Registry reg(RegRoot::CurrentUser, dir.path());
    ASSERT_TRUE(reg.Loaded());
    EXPECT_TRUE(reg.KeyDamaged("\\Software\\Parcelwise"));
    EXPECT_FALSE(reg.KeyDamaged("\\Software\\Elsewhere"));
    EXPECT_FALSE(reg.KeyExists("\\Software\\Elsewhere"));  // another root's key is not ours to read
}

TEST_F(HiveTest, AnAbsurdlyLargeFileIsRefusedUnread) {
    std::string big = std::string(kHeader) +
                      "\n[HKEY_CURRENT_USER\\Software\\Parcelwise]\n\"n\"=dword:00000001\n";
    big += "; " + std::string(8 << 20, 'x') + "\n";
    WriteFile(Hive(), big);
    platform::testing::IoFaults faults;
    {
        platform::testing::ScopedIoFaults scope(faults);
        Registry reg(RegRoot::CurrentUser, dir.path());
        EXPECT_FALSE(reg.Loaded());
        EXPECT_FALSE(reg.KeyExists("\\Software\\Parcelwise"));
        EXPECT_LE(faults.bytesRead.load(), (1 << 20) + 65536);
        reg.OpenKey("\\Software\\Parcelwise", true);
        reg.WriteInteger("n", 2);
        ASSERT_TRUE(reg.Close());
    }
    EXPECT_EQ(std::filesystem::file_size(Hive() + ".damaged"), big.size());
    EXPECT_LT(std::filesystem::file_size(Hive()), 200u);

    // Exactly the limit is still a hive...
    std::string limit = std::string(kHeader) + "\n[HKEY_CURRENT_USER\\Other]\n; ";
    limit += std::string((1 << 20) - limit.size() - 1, 'x') + "\n";
    ASSERT_EQ(limit.size(), 1u << 20);
    WriteFile(Hive(), limit);
    Registry full(RegRoot::CurrentUser, dir.path());
    EXPECT_TRUE(full.Loaded());
    // ... but a save that would make it larger is refused: the next load would
    // refuse what it wrote.
    full.OpenKey("\\Software\\Parcelwise", true);
    full.WriteInteger("n", 3);
    EXPECT_FALSE(full.Close());
    EXPECT_TRUE(ReadFile(Hive()) == limit);
}

TEST_F(HiveTest, SaveKeepsTheFileModeAndWritesThroughItsLink) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows files have no mode, and links need a privilege there";
#else
    ASSERT_TRUE(RoundTrip("first"));
    ASSERT_EQ(::chmod(Hive().c_str(), 0600), 0);
    ASSERT_EQ(RoundTrip("second"), "second");
    struct stat st {};
    ASSERT_EQ(::stat(Hive().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);

    // The hive as a relative link into a folder of its own, as dotfile managers leave it.
    TempDir real;
    std::filesystem::rename(Hive(), real / "settings.reg");
    const auto target = std::filesystem::relative(real / "settings.reg", dir.path());
    ASSERT_EQ(::symlink(target.c_str(), Hive().c_str()), 0);
    ASSERT_EQ(RoundTrip("third"), "third");
    EXPECT_TRUE(std::filesystem::is_symlink(Hive()));
    EXPECT_EQ(std::filesystem::read_symlink(Hive()), target);
    EXPECT_NE(ReadFile(real / "settings.reg").find("third"), std::string::npos);
    ASSERT_EQ(::stat((real / "settings.reg").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    EXPECT_EQ(ListDir(real.path()), std::vector<std::string>{"settings.reg"});
    EXPECT_EQ(ListDir(dir.path()), std::vector<std::string>{"HKEY_CURRENT_USER.reg"});

    // A damaged copy of a linked hive lies beside the file it copies.
    WriteFile(real / "settings.reg", "not a hive\n");
    ASSERT_EQ(RoundTrip("fourth"), "fourth");
    EXPECT_TRUE(std::filesystem::is_symlink(Hive()));
    EXPECT_EQ(ReadFile(real / "settings.reg.damaged"), "not a hive\n");
#endif
}

TEST_F(HiveTest, ASaveByRootLeavesTheUsersFileTheirs) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows files have owners of another kind, kept by ReplaceFileW";
#else
    if (::geteuid() != 0) GTEST_SKIP() << "only root can give a file to another user";
    ASSERT_TRUE(RoundTrip("first"));
    ASSERT_EQ(::chown(Hive().c_str(), 65534, 65534), 0);
    ASSERT_EQ(RoundTrip("second"), "second");
    struct stat st {};
    ASSERT_EQ(::stat(Hive().c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 65534u);
    EXPECT_EQ(st.st_gid, 65534u);
#endif
}

TEST_F(HiveTest, AnUnreadableHiveIsNeverReplaced) {
    std::filesystem::create_directory(Hive());  // nothing that a link or a copy could keep
    Registry reg(RegRoot::CurrentUser, dir.path());
    EXPECT_FALSE(reg.Loaded());
    reg.OpenKey("\\Software\\Parcelwise", true);
    reg.WriteInteger("n", 1);
    EXPECT_FALSE(reg.Close());
    EXPECT_TRUE(std::filesystem::is_directory(Hive()));
}

TEST(RegistryParseTest, StrictParseStillNamesTheFirstBadLine) {
    std::string error;
    EXPECT_FALSE(
        Registry::Parse(std::string(kHeader) + "\n[HKEY_CURRENT_USER\\A]\n\"x\"=dword:1\n", error));
    EXPECT_EQ(error, "line 4: bad dword");
    EXPECT_FALSE(Registry::Parse("", error));
    EXPECT_TRUE(Registry::Parse(
        std::string(kHeader) + "\n[HKEY_CURRENT_USER\\A]\n\"x\"=hex(1):41,00,00,00\n", error))
        << error;
}

}  // namespace

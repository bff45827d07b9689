// Persisted settings, their failure path and the ".pcw" association, all in
// scratch folders: no test reaches the real home folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/IoFaults.h"
#include "platform/Registry.h"
#include "settings/DesktopAssociation.h"
#include "settings/SavedSettings.h"
#include "support/TestSupport.h"

using namespace testsupport;

namespace {

constexpr char kLoadErrorTitle[] = "Erreur lors du chargement";

class SavedSettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::SetEnv("HOME", dir.path().c_str());
        testsupport::SetEnv("XDG_DATA_HOME", (dir / "data").c_str());
        testsupport::SetEnv("XDG_CONFIG_HOME", (dir / "config").c_str());
        testsupport::UnsetEnv("PARCELWISE_REGISTRY_DIR");
    }

    SavedSettings Params(std::vector<std::string> args = {}) {
        return SavedSettings(std::move(args), "/opt/pcw/parcelwise", dir / "reg");
    }
    std::string UserHive() {
        return platform::HiveFile(dir / "reg", platform::RegRoot::CurrentUser);
    }
    std::string ClassesHive() {
        return platform::HiveFile(dir / "reg", platform::RegRoot::ClassesRoot);
    }
    void WriteUserHive(const std::string& values) {
        std::filesystem::create_directories(dir / "reg");
        WriteFile(
            UserHive(),
            "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Parcelwise]\n" +
                values);
    }
    // A complete key whose BufferSize is the given dword text.
    static std::string FullKey(const std::string& bufferSize) {
        return "\"BufferSize\"=dword:" + bufferSize +
               "\n\"DefaultSize\"=dword:00000028\n\"SizeMode\"=dword:00000001\n\"isHashEnabled\"="
               "dword:00000000\n"
               "\"SplitQuit\"=dword:00000001\n\"JoinQuit\"=dword:00000000\n\"OpenDir\"=dword:"
               "00000000\n"
               "\"HideMessage\"=dword:00000000\n\"DeletePartialFile\"=dword:00000000\n"
               "\"DeleteAfterJoin\"=dword:00000001\n";
    }
    int32_t StoredInteger(const std::string& name) {
        platform::Registry reg(platform::RegRoot::CurrentUser, dir / "reg");
        int32_t value = -12345;
        reg.OpenKey("\\Software\\Parcelwise", false);
        reg.ReadInteger(name, value);
        return value;
    }

    TempDir dir;
    RecordingSink sink;
};

TEST_F(SavedSettingsTest, FirstRunWritesEveryDefaultAndTheAssociation) {
    SavedSettings params = Params();
    EXPECT_FALSE(params.LoadSettings(platform::ShowAfter()));
    EXPECT_TRUE(sink.messages().empty());
    EXPECT_EQ(params.bufferSize, 16384u);
    EXPECT_EQ(params.defaultSize, 15);
    EXPECT_EQ(params.sizeMode, 0);
    EXPECT_TRUE(params.isHashEnabled);
    EXPECT_FALSE(params.deleteAfterJoin);

    const std::string hive = ReadFile(UserHive());
    EXPECT_NE(hive.find("[HKEY_CURRENT_USER\\Software\\Parcelwise]"), std::string::npos);
    EXPECT_NE(hive.find("@=\"\\\"/opt/pcw/parcelwise\\\" \\\"%1\\\"\""), std::string::npos) << hive;
    EXPECT_NE(hive.find("\"DefaultSize\"=dword:0000000f"), std::string::npos);

    platform::Registry classes(platform::RegRoot::ClassesRoot, dir / "reg");
    std::string value;
    ASSERT_TRUE(classes.OpenKey("\\.pcw", false));
    classes.ReadString("", value);
    EXPECT_EQ(value, "Parcelwise_File");
    ASSERT_TRUE(classes.OpenKey("\\Parcelwise_File", false));
    classes.ReadString("", value);
    EXPECT_EQ(value, "Fichier découpé avec Parcelwise");
    ASSERT_TRUE(classes.OpenKey("\\Parcelwise_File\\Shell\\Open", false));
    classes.ReadString("", value);
    EXPECT_EQ(value, "-=Joindre avec Parcelwise=-");
    ASSERT_TRUE(classes.OpenKey("Command", false));
    classes.ReadString("", value);
    EXPECT_EQ(value, "\"/opt/pcw/parcelwise\" \"%1\"");

    if (!kUsesDesktopFiles) return;
    const std::string entry = ReadFile(dir / "data/applications/org.parcelwise.Parcelwise.desktop");
    EXPECT_NE(entry.find("Exec=/opt/pcw/parcelwise %f\n"), std::string::npos) << entry;
    EXPECT_NE(entry.find("MimeType=application/x-parcelwise;"), std::string::npos);
    const std::string mime = ReadFile(dir / "data/mime/packages/org.parcelwise.Parcelwise.xml");
    EXPECT_NE(mime.find("<glob pattern=\"*.pcw\"/>"), std::string::npos);
    EXPECT_NE(mime.find("Fichier découpé avec Parcelwise"), std::string::npos);
}

TEST_F(SavedSettingsTest, NormalStartReadsTheStoredValues) {
    WriteUserHive(FullKey("00000005"));
    SavedSettings params = Params();
    EXPECT_TRUE(params.LoadSettings(platform::ShowAfter()));
    EXPECT_EQ(params.bufferSize, 1048576u);
    EXPECT_EQ(params.defaultSize, 40);
    EXPECT_EQ(params.sizeMode, 1);
    EXPECT_FALSE(params.isHashEnabled);
    EXPECT_TRUE(params.splitQuit);
    EXPECT_TRUE(params.deleteAfterJoin);
    EXPECT_TRUE(sink.messages().empty());
}

// The recovery count, the plain sets and the language came after the other
// settings: a key saved without them is no damage, one that holds them keeps
// them, and one of another type is its default.
TEST_F(SavedSettingsTest, LaterSettingsReadFromKeysOfEveryAge) {
    const struct {
        std::string extra;
        int32_t recoveryParts;
        bool plainSets, plainSha256;
        platform::LanguageChoice language = platform::LanguageChoice::Automatic;
    } rows[] = {
        {"", 0, false, false},
        {"\"RecoveryParts\"=dword:00000002\n", 2, false, false},
        {"\"RecoveryParts\"=\"2\"\n", 0, false, false},
        {"\"PlainSets\"=dword:00000001\n", 0, true, false},
        {"\"PlainSets\"=dword:00000001\n\"PlainSha256\"=dword:00000001\n", 0, true, true},
        {"\"PlainSha256\"=\"1\"\n", 0, false, false},
        {"\"Language\"=dword:00000002\n", 0, false, false, platform::LanguageChoice::English},
        {"\"Language\"=\"en\"\n", 0, false, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.extra);
        WriteUserHive(FullKey("00000000") + row.extra);
        RecordingSink said;
        SavedSettings params = Params();
        EXPECT_TRUE(params.LoadSettings(platform::ShowAfter()));
        EXPECT_TRUE(said.messages().empty());
        EXPECT_EQ(params.defaultSize, 40);  // the rest of the key stays the user's
        EXPECT_EQ(params.recoveryParts, row.recoveryParts);
        EXPECT_EQ(params.plainSets, row.plainSets);
        EXPECT_EQ(params.plainSha256, row.plainSha256);
        EXPECT_EQ(params.LanguageChosen(), row.language);
    }
    SavedSettings params = Params();
    ASSERT_TRUE(params.LoadSettings(platform::ShowAfter()));
    params.recoveryParts = 3;
    params.plainSets = true;
    params.plainSha256 = true;
    params.language = static_cast<int32_t>(platform::LanguageChoice::French);
    ASSERT_TRUE(params.SaveSettings());
    SavedSettings peek = Params();
    peek.PeekSettings();
    EXPECT_EQ(peek.recoveryParts, 3);
    EXPECT_TRUE(peek.plainSets);
    EXPECT_TRUE(peek.plainSha256);
    EXPECT_EQ(peek.LanguageChosen(), platform::LanguageChoice::French);
}

// A value that no version writes (a later one's, or one set by hand) leaves
// the language to the system.
TEST_F(SavedSettingsTest, AnUnknownLanguageIsTheAutomaticChoice) {
    using platform::LanguageChoice;
    const std::pair<int32_t, LanguageChoice> rows[] = {{0, LanguageChoice::Automatic},
                                                       {1, LanguageChoice::French},
                                                       {2, LanguageChoice::English},
                                                       {3, LanguageChoice::Automatic},
                                                       {-1, LanguageChoice::Automatic}};
    for (const auto& [stored, chosen] : rows) {
        SavedSettings params = Params();
        params.language = stored;
        EXPECT_EQ(params.LanguageChosen(), chosen) << stored;
    }
}

TEST_F(SavedSettingsTest, BufferIndexOutsideTheTableFallsBackQuietly) {
    for (const auto& [stored, expected] :
         std::vector<std::pair<std::string, uint32_t>>{{"00000006", 4194304u},
                                                       {"00000007", 16384u},
                                                       {"ffffffff", 16384u},
                                                       {"80000000", 16384u}}) {
        WriteUserHive(FullKey(stored));
        SavedSettings params = Params();
        EXPECT_TRUE(params.LoadSettings(platform::ShowAfter())) << stored;
        EXPECT_EQ(params.bufferSize, expected) << stored;
    }
    EXPECT_TRUE(sink.messages().empty());
}

// A key holding only some values (saved by an older version, or edited by
// hand) is read value by value: each value there is the user's, and each one
// missing, of another type or out of its range takes its first-run default.
// Nothing is said, and nothing of the key is written over.
TEST_F(SavedSettingsTest, AKeyIsReadValueByValue) {
    auto without = [](std::string key, const std::string& line) {
        key.erase(key.find(line), line.size());
        return key;
    };
    auto replaced = [](std::string key, const std::string& line, const std::string& by) {
        return key.replace(key.find(line), line.size(), by);
    };
    const std::string full = FullKey("00000003");
    const std::string defaultSize = "\"DefaultSize\"=dword:00000028";
    const std::string sizeMode = "\"SizeMode\"=dword:00000001";
    const struct {
        const char* why;
        std::string values;
        uint32_t bufferSize;
        int32_t defaultSize;
        int32_t sizeMode;
        bool isHashEnabled, splitQuit, deleteAfterJoin;
    } rows[] = {
        {"no value at all", "", 16384, 15, 0, true, false, false},
        {"the command line alone", "@=\"x\"\n", 16384, 15, 0, true, false, false},
        {"one value", "\"SplitQuit\"=dword:00000001\n", 16384, 15, 0, true, true, false},
        {"several",
         "\"BufferSize\"=dword:00000006\n\"SizeMode\"=dword:00000001\n"
         "\"isHashEnabled\"=dword:00000000\n",
         4194304, 15, 1, false, false, false},
        {"all but one", without(full, "\"JoinQuit\"=dword:00000000\n"), 262144, 40, 1, false, true,
         true},
        {"one of another type", replaced(full, sizeMode, "\"SizeMode\"=\"1\""), 262144, 40, 0,
         false, true, true},
        {"a size of none", replaced(full, defaultSize, "\"DefaultSize\"=dword:00000000"), 262144,
         15, 1, false, true, true},
        {"a size past the field's", replaced(full, defaultSize, "\"DefaultSize\"=dword:000003e8"),
         262144, 15, 1, false, true, true},
        {"the largest size", replaced(full, defaultSize, "\"DefaultSize\"=dword:000003e7"), 262144,
         999, 1, false, true, true},
        {"a mode of none", replaced(full, sizeMode, "\"SizeMode\"=dword:00000002"), 262144, 40, 0,
         false, true, true},
        {"all", full, 262144, 40, 1, false, true, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.why);
        WriteUserHive(row.values);
        const std::string before = ReadFile(UserHive());
        RecordingSink said;
        SavedSettings params = Params();
        EXPECT_TRUE(params.LoadSettings(platform::ShowAfter()));
        EXPECT_TRUE(said.messages().empty());
        EXPECT_EQ(params.bufferSize, row.bufferSize);
        EXPECT_EQ(params.defaultSize, row.defaultSize);
        EXPECT_EQ(params.sizeMode, row.sizeMode);
        EXPECT_EQ(params.isHashEnabled, row.isHashEnabled);
        EXPECT_EQ(params.splitQuit, row.splitQuit);
        EXPECT_FALSE(params.joinQuit);
        EXPECT_EQ(params.deleteAfterJoin, row.deleteAfterJoin);
        EXPECT_EQ(ReadFile(UserHive()), before);

        // The command line reads the key the same way.
        SavedSettings peek = Params();
        peek.PeekSettings();
        EXPECT_EQ(peek.bufferSize, row.bufferSize);
        EXPECT_EQ(peek.defaultSize, row.defaultSize);
        EXPECT_EQ(peek.sizeMode, row.sizeMode);
    }

    // The next save completes the key, with what the windows hold.
    WriteUserHive("\"DefaultSize\"=dword:00000028\n\"JoinQuit\"=\"1\"\n");
    SavedSettings params = Params();
    ASSERT_TRUE(params.LoadSettings(platform::ShowAfter()));
    ASSERT_TRUE(params.SaveSettings());
    EXPECT_EQ(StoredInteger("DefaultSize"), 40);
    EXPECT_EQ(StoredInteger("BufferSize"), 0);
    EXPECT_EQ(StoredInteger("JoinQuit"), 0);
    EXPECT_EQ(StoredInteger("isHashEnabled"), 1);
    EXPECT_EQ(StoredInteger("DeleteAfterJoin"), -12345);  // a save never writes it
    EXPECT_TRUE(sink.messages().empty());
}

TEST_F(SavedSettingsTest, DamagedHiveFileIsALoadErrorNotACrash) {
    for (const std::string& text :
         {std::string(), std::string("garbage\n"),
          std::string("Windows Registry Editor Version "
                      "5.00\n\n[HKEY_CURRENT_USER\\Software\\Parcelwise]\n\"Buffer"),
          std::string("Windows Registry Editor Version "
                      "5.00\n\n[HKEY_CURRENT_USER\\Software\\Parcelwise\n")}) {
        std::filesystem::create_directories(dir / "reg");
        WriteFile(UserHive(), text);
        RecordingSink local;
        SavedSettings params = Params();
        EXPECT_FALSE(params.LoadSettings(platform::ShowAfter()));
        ASSERT_EQ(local.messages().size(), 1u);
        EXPECT_EQ(local.messages()[0].title, kLoadErrorTitle);
        EXPECT_EQ(local.messages()[0].text,
                  "Une erreur est survenue lors de la lecture des paramètres dans la base de "
                  "registre !\n\r"
                  "Parcelwise va maintenant s'arrêter pour restaurer les paramètres initiaux.");
        EXPECT_EQ(local.messages()[0].icon, 16);
        EXPECT_EQ(local.messages()[0].owner, nullptr);
        EXPECT_EQ(params.bufferSize, 16384u);
        EXPECT_EQ(params.defaultSize, 15);
        EXPECT_EQ(params.sizeMode, 0);
        EXPECT_FALSE(params.deleteAfterJoin);
        EXPECT_EQ(StoredInteger("DefaultSize"), 15);
        // The defaults replace the damaged file, so the next start is normal.
        RecordingSink next;
        SavedSettings again = Params();
        EXPECT_TRUE(again.LoadSettings(platform::ShowAfter()));
        EXPECT_TRUE(next.messages().empty());
    }
}

TEST_F(SavedSettingsTest, SaveWritesTheChosenBufferAndKeepsDeleteAfterJoin) {
    WriteUserHive(FullKey("00000000"));
    SavedSettings params = Params();
    ASSERT_TRUE(params.LoadSettings(platform::ShowAfter()));
    params.bufferSize = 4194304;
    params.deleteAfterJoin = false;  // never saved: only the defaults or a hand edit set it
    params.defaultSize = 700;
    ASSERT_TRUE(params.SaveSettings());
    EXPECT_EQ(StoredInteger("BufferSize"), 6);
    EXPECT_EQ(StoredInteger("DefaultSize"), 700);
    EXPECT_EQ(StoredInteger("DeleteAfterJoin"), 1);

    params.bufferSize = 12345;  // no entry of the table: the stored index stays
    ASSERT_TRUE(params.SaveSettings());
    EXPECT_EQ(StoredInteger("BufferSize"), 6);
}

TEST_F(SavedSettingsTest, FailedSaveLeavesThePreviousSettingsIntact) {
    WriteUserHive(FullKey("00000002"));
    const std::string before = ReadFile(UserHive());
    SavedSettings params = Params();
    ASSERT_TRUE(params.LoadSettings(platform::ShowAfter()));
    params.bufferSize = 4194304;
    {
        platform::testing::IoFaults faults;
        faults.writeErrorAfter = 40;  // the disk fills up half way through the file
        platform::testing::ScopedIoFaults scope(faults);
        EXPECT_FALSE(params.SaveSettings());
    }
    EXPECT_EQ(ReadFile(UserHive()), before);
    for (const auto& name : ListDir(dir / "reg"))
        EXPECT_EQ(name.find(".tmp"), std::string::npos) << name;
}

TEST_F(SavedSettingsTest, AnAssociationThatCannotBeWrittenLeavesTheSettingsAlone) {
    WriteUserHive(FullKey("00000001"));
    const std::string before = ReadFile(UserHive());
    auto expectStoredValuesKept = [&](const char* why) {
        RecordingSink local;
        SavedSettings params = Params();
        EXPECT_TRUE(params.LoadSettings(platform::ShowAfter())) << why;
        EXPECT_TRUE(local.messages().empty()) << why;
        EXPECT_EQ(params.bufferSize, 32768u) << why;
        EXPECT_EQ(params.defaultSize, 40) << why;
        EXPECT_TRUE(params.deleteAfterJoin) << why;
        EXPECT_EQ(ReadFile(UserHive()), before) << why;
    };

    if (kUsesDesktopFiles) {
        WriteFile(dir / "blocker", "a file where a folder should be");
        testsupport::SetEnv("XDG_DATA_HOME", (dir / "blocker").c_str());
        expectStoredValuesKept("data folder");
        EXPECT_FALSE(Params().RegisterFileType());

        // Only a user without rights meets this one; root writes there all the same.
        std::filesystem::create_directories(dir / "readonly");
        std::filesystem::permissions(dir / "readonly", std::filesystem::perms(0555));
        testsupport::SetEnv("XDG_DATA_HOME", (dir / "readonly").c_str());
        expectStoredValuesKept("read-only data folder");
        std::filesystem::permissions(dir / "readonly", std::filesystem::perms(0755));
    }

    testsupport::SetEnv("XDG_DATA_HOME", (dir / "data").c_str());
    std::filesystem::remove(ClassesHive());
    std::filesystem::create_directories(ClassesHive());  // a classes hive that cannot be replaced
    expectStoredValuesKept("classes hive");
    EXPECT_FALSE(Params().RegisterFileType());
}

TEST_F(SavedSettingsTest, DamageInOurKeyRewritesOnlyOurKey) {
    const std::string before =
        "[HKEY_CURRENT_USER\\Software\\Aaa]\n"
        "\"Theme\"=\"dark\"\n"
        "\"Binary\"=hex:01,02\n"
        "\n";
    const std::string after =
        "[HKEY_CURRENT_USER\\Software\\Parcelwise\\Sub]\n"
        "\"Kept\"=dword:00000009\n"
        "broken line of someone else's\n"
        "\n"
        "[HKEY_CURRENT_USER\\Software\\Zzz]\n"
        "@=\"x\"\n";
    const std::string original = "Windows Registry Editor Version 5.00\n\n" + before +
                                 "[HKEY_CURRENT_USER\\Software\\Parcelwise]\n" +
                                 FullKey("00000004") + "\"Extra\"=dword:zz\n\n" + after;
    std::filesystem::create_directories(dir / "reg");
    WriteFile(UserHive(), original);

    SavedSettings params = Params();
    EXPECT_FALSE(params.LoadSettings(platform::ShowAfter()));
    ASSERT_EQ(sink.messages().size(), 1u);
    EXPECT_EQ(sink.messages()[0].title, kLoadErrorTitle);
    EXPECT_EQ(params.defaultSize, 15);

    EXPECT_EQ(ReadFile(UserHive() + ".damaged"), original);
    const std::string saved = ReadFile(UserHive());
    EXPECT_NE(saved.find(before), std::string::npos) << saved;
    EXPECT_NE(saved.find(after), std::string::npos) << saved;
    EXPECT_EQ(saved.find("dword:zz"), std::string::npos) << saved;
    EXPECT_EQ(StoredInteger("DefaultSize"), 15);
    EXPECT_EQ(StoredInteger("BufferSize"), 0);

    RecordingSink next;
    EXPECT_TRUE(Params().LoadSettings(platform::ShowAfter()));
    EXPECT_TRUE(next.messages().empty());
}

TEST_F(SavedSettingsTest, DamageInAnotherKeyIsNoneOfOurBusiness) {
    const std::string other =
        "[HKEY_CURRENT_USER\\Software\\Other]\n\"Half\n\"Hex\"=hex(7):41,00,00,00,00,00\n\n";
    std::filesystem::create_directories(dir / "reg");
    WriteFile(UserHive(), "Windows Registry Editor Version 5.00\n\n" + other +
                              "[HKEY_CURRENT_USER\\Software\\Parcelwise]\n" + FullKey("00000002"));
    SavedSettings params = Params();
    EXPECT_TRUE(params.LoadSettings(platform::ShowAfter()));
    EXPECT_TRUE(sink.messages().empty());
    EXPECT_EQ(params.bufferSize, 65536u);
    EXPECT_EQ(params.defaultSize, 40);

    params.defaultSize = 99;
    ASSERT_TRUE(params.SaveSettings());
    EXPECT_NE(ReadFile(UserHive()).find(other), std::string::npos) << ReadFile(UserHive());
    EXPECT_EQ(StoredInteger("DefaultSize"), 99);
    EXPECT_FALSE(std::filesystem::exists(UserHive() + ".damaged"));

    SavedSettings peek = Params();
    peek.PeekSettings();
    EXPECT_EQ(peek.defaultSize, 99);
}

TEST_F(SavedSettingsTest, PeekTakesADamagedKeyForTheDefaults) {
    WriteUserHive(FullKey("00000006") + "\"Extra\"=dword:zz\n");
    const std::string before = ReadFile(UserHive());
    SavedSettings peek = Params();
    peek.PeekSettings();
    EXPECT_EQ(peek.bufferSize, 16384u);
    EXPECT_EQ(peek.defaultSize, 15);
    EXPECT_EQ(ReadFile(UserHive()), before);
}

TEST_F(SavedSettingsTest, AssociationFilesAreRewrittenOnlyWhenTheyChange) {
    if (!kUsesDesktopFiles) GTEST_SKIP() << "the desktop files are Linux's";
    ASSERT_TRUE(WriteDesktopAssociation("/opt/pcw/parcelwise"));
    const std::string entry = dir / "data/applications/org.parcelwise.Parcelwise.desktop";
    auto stamp = std::filesystem::last_write_time(entry);
    ASSERT_TRUE(WriteDesktopAssociation("/opt/pcw/parcelwise"));
    EXPECT_EQ(std::filesystem::last_write_time(entry), stamp);

    // A moved program is followed.
    ASSERT_TRUE(WriteDesktopAssociation("/home/u/my apps/parcel$wise"));
    EXPECT_NE(ReadFile(entry).find("Exec=\"/home/u/my apps/parcel\\\\$wise\" %f"),
              std::string::npos)
        << ReadFile(entry);
}

TEST_F(SavedSettingsTest, PeekReadsWithoutWritingAnything) {
    SavedSettings fresh = Params();
    fresh.PeekSettings();
    EXPECT_EQ(fresh.bufferSize, 16384u);
    EXPECT_EQ(fresh.defaultSize, 15);
    EXPECT_FALSE(std::filesystem::exists(dir / "reg"));
    EXPECT_FALSE(std::filesystem::exists(dir / "data"));

    WriteUserHive(FullKey("00000006"));
    SavedSettings stored = Params();
    stored.PeekSettings();
    EXPECT_EQ(stored.bufferSize, 4194304u);
    EXPECT_EQ(stored.sizeMode, 1);
    EXPECT_EQ(stored.defaultSize, 40);
    EXPECT_TRUE(sink.messages().empty());
}

TEST_F(SavedSettingsTest, CommandLineArgument) {
    EXPECT_FALSE(Params().HasStartupFile());
    EXPECT_EQ(Params().StartupFile(), "");
    SavedSettings withFile = Params({"/media/cd/film.avi.001.pcw"});
    EXPECT_TRUE(withFile.HasStartupFile());
    EXPECT_EQ(withFile.StartupFile(), "/media/cd/film.avi.001.pcw");
}

TEST(RegistryTest, TextRoundTripKeepsEscapesTypesAndSpelling) {
    platform::Registry::Keys keys;
    keys["Software\\Parcelwise"][""] = std::string("\"C:\\Program Files\\pw.exe\" \"%1\"");
    keys["Software\\Parcelwise"]["BufferSize"] = uint32_t{0xffffffff};
    keys["Software\\Parcelwise"]["Name"] = std::string("é \\ \"");
    std::string text = platform::Registry::Serialize(platform::RegRoot::CurrentUser, keys);
    std::string error;
    auto parsed = platform::Registry::Parse(text, error);
    ASSERT_TRUE(parsed) << error;
    EXPECT_EQ(*parsed, keys);
    EXPECT_TRUE(parsed->count("SOFTWARE\\parcelwise"));
    EXPECT_TRUE(parsed->at("software\\parcelwise").count("buffersize"));
}

TEST(RegistryTest, KeysOpenRelativeToTheOpenKeyAndCreateTheirParents) {
    TempDir dir;
    {
        platform::Registry reg(platform::RegRoot::ClassesRoot, dir.path());
        EXPECT_FALSE(reg.OpenKey("\\A\\B", false));
        ASSERT_TRUE(reg.OpenKey("\\A\\B", true));
        ASSERT_TRUE(reg.OpenKey("C", true));
        EXPECT_EQ(reg.CurrentKey(), "A\\B\\C");
        reg.WriteInteger("n", 7);
        int32_t n = 0;
        EXPECT_EQ(reg.ReadInteger("n", n), platform::RegRead::Ok);
        std::string s;
        EXPECT_EQ(reg.ReadString("n", s), platform::RegRead::WrongType);
        EXPECT_EQ(reg.ReadString("other", s), platform::RegRead::Missing);
        EXPECT_TRUE(reg.Close());
    }
    platform::Registry again(platform::RegRoot::ClassesRoot, dir.path());
    EXPECT_TRUE(again.KeyExists("\\a"));
    EXPECT_TRUE(again.KeyExists("\\A\\B\\C"));
    ASSERT_TRUE(again.OpenKey("\\a\\b\\c", false));
    int32_t n = 0;
    EXPECT_EQ(again.ReadInteger("N", n), platform::RegRead::Ok);
    EXPECT_EQ(n, 7);
}

}  // namespace

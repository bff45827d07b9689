// The settings and the association in the registry of Windows itself, read
// back with the Win32 calls alone. Each test lends the process's
// HKEY_CURRENT_USER to a scratch key of its own, so that a run on a real
// Windows machine leaves the user's settings as they were.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <optional>
#include <string>

#include "platform/Registry.h"
#include "settings/SavedSettings.h"
#include "support/TestSupport.h"

using namespace testsupport;

namespace {

constexpr char kProgram[] = "C:\\Program Files\\Parcelwise\\parcelwise.exe";
constexpr wchar_t kCommand[] = L"\"C:\\Program Files\\Parcelwise\\parcelwise.exe\" \"%1\"";

struct RawValue {
    DWORD type = REG_NONE;
    std::wstring text;  // REG_SZ without its terminator
    DWORD number = 0;   // REG_DWORD
};

class WindowsRegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        UnsetEnv("PARCELWISE_REGISTRY_DIR");
        scratchName_ = L"Software\\Parcelwise-tests-" + std::to_wstring(::GetCurrentProcessId());
        ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, scratchName_.c_str(), 0, nullptr, 0,
                                    KEY_ALL_ACCESS, nullptr, &scratch_, nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(::RegOverridePredefKey(HKEY_CURRENT_USER, scratch_), ERROR_SUCCESS);
    }
    void TearDown() override {
        ::RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        ::RegCloseKey(scratch_);
        ::RegDeleteTreeW(HKEY_CURRENT_USER, scratchName_.c_str());
    }

    static std::optional<RawValue> Raw(const wchar_t* key, const wchar_t* name) {
        HKEY handle = nullptr;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS)
            return std::nullopt;
        RawValue value;
        wchar_t data[512] = {};
        DWORD size = sizeof data;
        const LSTATUS status = ::RegQueryValueExW(handle, name, nullptr, &value.type,
                                                  reinterpret_cast<BYTE*>(data), &size);
        ::RegCloseKey(handle);
        if (status != ERROR_SUCCESS) return std::nullopt;
        if (value.type == REG_DWORD) std::memcpy(&value.number, data, sizeof value.number);
        if (value.type == REG_SZ) value.text.assign(data, size / sizeof(wchar_t));
        if (!value.text.empty() && value.text.back() == L'\0') value.text.pop_back();
        return value;
    }
    static bool RawKeyExists(const wchar_t* key) {
        HKEY handle = nullptr;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_READ, &handle) != ERROR_SUCCESS)
            return false;
        ::RegCloseKey(handle);
        return true;
    }
    static void RawSet(const wchar_t* name, DWORD type, const void* data, DWORD size) {
        HKEY handle = nullptr;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Parcelwise", 0, nullptr, 0,
                                    KEY_SET_VALUE, nullptr, &handle, nullptr),
                  ERROR_SUCCESS);
        EXPECT_EQ(::RegSetValueExW(handle, name, 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
        ::RegCloseKey(handle);
    }
    static void ExpectString(const wchar_t* key, const wchar_t* name, const std::wstring& text) {
        auto value = Raw(key, name);
        ASSERT_TRUE(value) << key;
        EXPECT_EQ(value->type, static_cast<DWORD>(REG_SZ)) << key;
        EXPECT_TRUE(value->text == text) << key;
    }
    static void ExpectDword(const wchar_t* name, DWORD number) {
        auto value = Raw(L"Software\\Parcelwise", name);
        ASSERT_TRUE(value);
        EXPECT_EQ(value->type, static_cast<DWORD>(REG_DWORD));
        EXPECT_EQ(value->number, number);
    }

    RecordingSink sink;

private:
    std::wstring scratchName_;
    HKEY scratch_ = nullptr;
};

TEST_F(WindowsRegistryTest, SettingsLiveUnderTheUsersSoftwareKey) {
    EXPECT_EQ(platform::RegistryFolder(), "");
    SavedSettings first({}, kProgram, platform::RegistryFolder());
    EXPECT_FALSE(first.LoadSettings(platform::ShowAfter()));  // the first run
    EXPECT_TRUE(sink.messages().empty());
    ExpectString(L"Software\\Parcelwise", L"", kCommand);
    ExpectDword(L"BufferSize", 0);
    ExpectDword(L"DefaultSize", 15);
    ExpectDword(L"isHashEnabled", 1);
    ExpectDword(L"DeleteAfterJoin", 0);

    first.bufferSize = 4194304;
    first.defaultSize = 40;
    first.sizeMode = 1;
    ASSERT_TRUE(first.SaveSettings());
    ExpectDword(L"BufferSize", 6);

    SavedSettings again({}, kProgram, "");
    EXPECT_TRUE(again.LoadSettings(platform::ShowAfter()));
    EXPECT_TRUE(sink.messages().empty());
    EXPECT_EQ(again.bufferSize, 4194304u);
    EXPECT_EQ(again.defaultSize, 40);
    EXPECT_EQ(again.sizeMode, 1);
    EXPECT_TRUE(again.isHashEnabled);
}

// HKEY_CLASSES_ROOT takes administrator rights to write; the user's own
// classes, which Windows shows there for that user, do not.
TEST_F(WindowsRegistryTest, TheAssociationLandsUnderTheUsersClasses) {
    SavedSettings params({}, kProgram, "");
    params.LoadSettings(platform::ShowAfter());
    ExpectString(L"Software\\Classes\\.pcw", L"", L"Parcelwise_File");
    ExpectString(L"Software\\Classes\\Parcelwise_File", L"",
                 L"Fichier d\u00e9coup\u00e9 avec Parcelwise");
    ExpectString(L"Software\\Classes\\Parcelwise_File\\Shell", L"", L"Open");
    ExpectString(L"Software\\Classes\\Parcelwise_File\\Shell\\Open", L"",
                 L"-=Joindre avec Parcelwise=-");
    ExpectString(L"Software\\Classes\\Parcelwise_File\\Shell\\Open\\Command", L"", kCommand);
    EXPECT_FALSE(RawKeyExists(L"Software\\Classes\\Parcelwise_File\\DefaultIcon"));

    // A moved program is followed at the next start; another program's
    // claim on the extension is taken over.
    HKEY pcw = nullptr;
    ASSERT_EQ(
        ::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Classes\\.pcw", 0, KEY_SET_VALUE, &pcw),
        ERROR_SUCCESS);
    const wchar_t other[] = L"Other.File";
    ::RegSetValueExW(pcw, L"", 0, REG_SZ, reinterpret_cast<const BYTE*>(other), sizeof other);
    ::RegCloseKey(pcw);
    SavedSettings moved({}, "D:\\Outils\\parcelwise.exe", "");
    EXPECT_TRUE(moved.LoadSettings(platform::ShowAfter()));
    ExpectString(L"Software\\Classes\\.pcw", L"", L"Parcelwise_File");
    ExpectString(L"Software\\Classes\\Parcelwise_File\\Shell\\Open\\Command", L"",
                 L"\"D:\\Outils\\parcelwise.exe\" \"%1\"");
}

TEST_F(WindowsRegistryTest, TextsAndNamesTravelInUtf16) {
    const std::string text =
        "\xC3\x89t\xC3\xA9 \xE2\x82\xAC \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x98\x80";
    const std::wstring wide = L"\u00c9t\u00e9 \u20ac \u65e5\u672c \U0001F600";
    {
        platform::Registry registry(platform::RegRoot::CurrentUser, "");
        ASSERT_TRUE(registry.OpenKey("\\Software\\Parcelwise\\Cl\xC3\xA9", true));
        ASSERT_TRUE(registry.WriteString("Libell\xC3\xA9", text));
        ASSERT_TRUE(registry.Close());
    }
    ExpectString(L"Software\\Parcelwise\\Cl\u00e9", L"Libell\u00e9", wide);

    // Another object reads what the registry holds, names in any case.
    platform::Registry registry(platform::RegRoot::CurrentUser, "");
    ASSERT_TRUE(registry.KeyExists("\\SOFTWARE\\parcelwise\\CL\xC3\x89"));
    ASSERT_TRUE(registry.OpenKey("\\software\\Parcelwise\\cl\xC3\xA9", false));
    std::string read;
    ASSERT_EQ(registry.ReadString("LIBELL\xC3\x89", read), platform::RegRead::Ok);
    EXPECT_EQ(read, text);
    EXPECT_FALSE(registry.OpenKey("\\Software\\Parcelwise\\Absente", false));
    EXPECT_FALSE(RawKeyExists(L"Software\\Parcelwise\\Absente"));
}

TEST_F(WindowsRegistryTest, AValueOfAnotherTypeIsWrongTypeAndItsDefault) {
    const wchar_t six[] = L"6";
    RawSet(L"BufferSize", REG_SZ, six, sizeof six);
    const BYTE bytes[] = {1, 2, 3, 4};
    RawSet(L"DefaultSize", REG_BINARY, bytes, sizeof bytes);
    const unsigned long long wide = 15;
    RawSet(L"SizeMode", REG_QWORD, &wide, sizeof wide);
    const DWORD one = 1;
    RawSet(L"Text", REG_DWORD, &one, sizeof one);
    const DWORD zero = 0;
    RawSet(L"isHashEnabled", REG_DWORD, &zero, sizeof zero);
    {
        platform::Registry registry(platform::RegRoot::CurrentUser, "");
        ASSERT_TRUE(registry.OpenKey("\\Software\\Parcelwise", false));
        int32_t number = -1;
        std::string text;
        EXPECT_EQ(registry.ReadInteger("BufferSize", number), platform::RegRead::WrongType);
        EXPECT_EQ(registry.ReadInteger("DefaultSize", number), platform::RegRead::WrongType);
        EXPECT_EQ(registry.ReadInteger("SizeMode", number), platform::RegRead::WrongType);
        EXPECT_EQ(registry.ReadString("Text", text), platform::RegRead::WrongType);
        EXPECT_EQ(registry.ReadInteger("Absent", number), platform::RegRead::Missing);
        EXPECT_EQ(registry.ReadInteger("Text", number), platform::RegRead::Ok);
        EXPECT_EQ(number, 1);
    }

    // The key is read value by value: the mistyped and the missing ones take
    // their defaults, the one of the right type stays, and nothing is said.
    SavedSettings params({}, kProgram, "");
    EXPECT_TRUE(params.LoadSettings(platform::ShowAfter()));
    EXPECT_TRUE(sink.messages().empty());
    EXPECT_EQ(params.bufferSize, 16384u);
    EXPECT_EQ(params.defaultSize, 15);
    EXPECT_EQ(params.sizeMode, 0);
    EXPECT_FALSE(params.isHashEnabled);
    auto left = Raw(L"Software\\Parcelwise", L"BufferSize");
    ASSERT_TRUE(left);
    EXPECT_EQ(left->type, static_cast<DWORD>(REG_SZ));  // a load writes nothing over
    // The next save writes them typed right.
    ASSERT_TRUE(params.SaveSettings());
    ExpectDword(L"BufferSize", 0);
    ExpectDword(L"DefaultSize", 15);
    ExpectDword(L"SizeMode", 0);
    ExpectDword(L"isHashEnabled", 0);
}

TEST_F(WindowsRegistryTest, ReadingAloneWritesNothing) {
    SavedSettings params({}, kProgram, "");
    params.PeekSettings();
    EXPECT_EQ(params.defaultSize, 15);
    EXPECT_FALSE(RawKeyExists(L"Software\\Parcelwise"));
    EXPECT_FALSE(RawKeyExists(L"Software\\Classes\\.pcw"));
}

// Tests and whoever wants the settings in a file keep the hive files.
TEST_F(WindowsRegistryTest, TheVariableKeepsTheHiveFiles) {
    TempDir dir;
    SetEnv("PARCELWISE_REGISTRY_DIR", dir.path());
    const std::string folder = platform::RegistryFolder();
    UnsetEnv("PARCELWISE_REGISTRY_DIR");
    EXPECT_EQ(folder, dir.path());

    SavedSettings params({}, kProgram, folder);
    EXPECT_FALSE(params.LoadSettings(platform::ShowAfter()));
    const std::string hive = ReadFile(platform::HiveFile(folder, platform::RegRoot::CurrentUser));
    EXPECT_NE(hive.find("\"DefaultSize\"=dword:0000000f"), std::string::npos) << hive;
    EXPECT_NE(ReadFile(platform::HiveFile(folder, platform::RegRoot::ClassesRoot))
                  .find("[HKEY_CLASSES_ROOT\\Parcelwise_File\\Shell\\Open\\Command]"),
              std::string::npos);
    EXPECT_FALSE(RawKeyExists(L"Software\\Parcelwise"));
    EXPECT_FALSE(RawKeyExists(L"Software\\Classes\\.pcw"));
}

}  // namespace

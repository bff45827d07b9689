// What the file layer must do on Windows that Linux gives for free or does
// another way: no sharing while a job holds a file, binary reads of every byte,
// sizes past 4 GiB, UTF-16 names, no device behind a name, renames that never
// replace, and a settings file that can be saved again and again.
#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>

#include <windows.h>
#include <winioctl.h>

#include "platform/Env.h"
#include "platform/Errors.h"
#include "platform/File.h"
#include "platform/Fs.h"
#include "support/TestSupport.h"

using namespace testsupport;
using platform::File;
using platform::Share;

TEST(WindowsFiles, AFileHeldByAJobIsSharedWithNobody) {
    TempDir dir;
    WriteFile(dir / "part", "data");
    {
        // A reader about to replace the file (the conversion) holds it alone.
        File held = File::OpenRead(dir / "part", Share::None);
        ASSERT_TRUE(held.IsOpen());
        EXPECT_EQ(File::OpenRead(dir / "part").OpenError(), EBUSY);
        EXPECT_EQ(File::OpenRead(dir / "part", Share::Read).OpenError(), EBUSY);
        EXPECT_EQ(File::OpenWrite(dir / "part").OpenError(), EBUSY);
        // Nor may another program open it, whatever it shares.
        HANDLE other = ::CreateFileW(FsPath(dir / "part").c_str(), GENERIC_READ,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_EQ(other, INVALID_HANDLE_VALUE);
        if (other != INVALID_HANDLE_VALUE) ::CloseHandle(other);
    }
    {
        // Readers share reading by default: other readers come in, no writer.
        File reader = File::OpenRead(dir / "part");
        ASSERT_TRUE(reader.IsOpen());
        EXPECT_TRUE(File::OpenRead(dir / "part", Share::Read).IsOpen());
        EXPECT_EQ(File::OpenWrite(dir / "part").OpenError(), EBUSY);
    }
    File made = File::CreateNew(dir / "new");
    ASSERT_TRUE(made.IsOpen());
    EXPECT_EQ(File::OpenRead(dir / "new", Share::Read).OpenError(), EBUSY);
    EXPECT_EQ(File::CreateNew(dir / "new").OpenError(), EEXIST);
    EXPECT_EQ(File::CreateNew(dir / "part").OpenError(), EEXIST);
    EXPECT_EQ(ReadFile(dir / "part"), "data");
}

// What the jobs rely on where Linux would let a part change under them: a
// file held by a job, even by a reader that lets others read, can be neither
// written, renamed, replaced nor removed until the job lets it go.
TEST(WindowsFiles, AFileHeldByAJobCannotChangeUnderIt) {
    TempDir dir;
    WriteFile(dir / "part", "data");
    WriteFile(dir / "other", "swap");
    for (const Share share : {Share::None, Share::Read}) {
        File held = File::OpenRead(dir / "part", share);
        ASSERT_TRUE(held.IsOpen());
        std::error_code error;
        std::filesystem::rename(FsPath(dir / "part"), FsPath(dir / "moved"), error);
        EXPECT_TRUE(error);
        std::filesystem::rename(FsPath(dir / "other"), FsPath(dir / "part"), error);
        EXPECT_TRUE(error);
        EXPECT_FALSE(std::filesystem::remove(FsPath(dir / "part"), error));
        EXPECT_FALSE(platform::RenameNoReplace(dir / "part", dir / "moved"));
        std::ofstream writer(FsPath(dir / "part"), std::ios::binary | std::ios::app);
        EXPECT_FALSE(writer.is_open());
    }
    File made = File::CreateNew(dir / "new");
    ASSERT_TRUE(made.Write("abc", 3).ok());
    std::error_code error;
    EXPECT_FALSE(std::filesystem::remove(FsPath(dir / "new"), error));
    made.Close();
    EXPECT_EQ(ReadFile(dir / "part"), "data");
    EXPECT_EQ(ReadFile(dir / "new"), "abc");
    EXPECT_EQ(ReadFile(dir / "other"), "swap");
}

// Text-mode reads stop at 0x1A and turn CR LF into LF: every byte must come
// through as it is, both ways.
TEST(WindowsFiles, EveryByteComesThroughAsItIs) {
    TempDir dir;
    std::string bytes;
    for (int round = 0; round < 4; ++round)
        for (int b = 0; b < 256; ++b) bytes += static_cast<char>(b);
    bytes += "\x1A\r\n\n\r\x1A";
    File out = File::CreateNew(dir / "all");
    ASSERT_TRUE(out.Write(bytes.data(), bytes.size()).ok());
    ASSERT_TRUE(out.Close());
    EXPECT_EQ(platform::FileSize(dir / "all"), static_cast<int64_t>(bytes.size()));
    File in = File::OpenRead(dir / "all");
    std::string back(bytes.size() + 10, '\0');
    const platform::IoResult r = in.Read(back.data(), back.size());
    ASSERT_TRUE(r.ok());
    back.resize(static_cast<size_t>(r.bytes));
    EXPECT_TRUE(back == bytes);
    in.Close();
    EXPECT_TRUE(ReadFile(dir / "all") == bytes);
}

TEST(WindowsFiles, SizesAndPositionsPast4GiB) {
    TempDir dir;
    constexpr int64_t kFar = (int64_t{5} << 30) + 3;  // past 4 GiB and 2 GiB alike
    {
        // Sparse where the volume allows, so that the test writes little.
        HANDLE sparse = ::CreateFileW(FsPath(dir / "big").c_str(), GENERIC_WRITE, 0, nullptr,
                                      CREATE_NEW, 0, nullptr);
        ASSERT_NE(sparse, INVALID_HANDLE_VALUE);
        DWORD ignored = 0;
        ::DeviceIoControl(sparse, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &ignored, nullptr);
        ::CloseHandle(sparse);
        File out = File::OpenWrite(dir / "big");
        ASSERT_TRUE(out.IsOpen());
        ASSERT_TRUE(out.Seek(kFar));
        ASSERT_TRUE(out.Write("end", 3).ok());
        EXPECT_EQ(out.Size(), kFar + 3);
        ASSERT_TRUE(out.Close());
    }
    EXPECT_EQ(platform::FileSize(dir / "big"), kFar + 3);
    EXPECT_EQ(platform::IdentityOf(dir / "big")->size, kFar + 3);
    File in = File::OpenRead(dir / "big");
    EXPECT_EQ(in.Size(), kFar + 3);
    ASSERT_TRUE(in.Seek(kFar + 1));
    char tail[8] = {};
    const platform::IoResult r = in.Read(tail, sizeof tail);
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(std::string(tail, static_cast<size_t>(r.bytes)), "nd");
}

TEST(WindowsFiles, NamesOutsideTheAnsiCodePageWork) {
    TempDir dir;
    const std::string name = "Été €, Ωμέγα, 日本語, 🎬.avi";
    File out = File::CreateNew(dir / name);
    ASSERT_TRUE(out.IsOpen()) << out.OpenError();
    ASSERT_TRUE(out.Write("x", 1).ok());
    ASSERT_TRUE(out.Close());
    EXPECT_TRUE(platform::IsRegularFile(dir / name));
    EXPECT_EQ(platform::FolderEntries(dir.path()), std::vector<std::string>{name});
    ASSERT_TRUE(platform::RenameNoReplace(dir / name, dir / (name + ".001.pcw")));
    EXPECT_EQ(ReadFile(dir / (name + ".001.pcw")), "x");
    EXPECT_TRUE(platform::MakeFolders(dir / "Dossier é\\sous-dossier ü"));
    EXPECT_TRUE(platform::IsFolder(dir / "Dossier é"));
}

// A name read from a part file or typed by a user may be a device's: it is
// never opened as a file, for reading or for writing.
TEST(WindowsFiles, DevicesAreNoFiles) {
    TempDir dir;
    for (const std::string& device : {std::string("NUL"), std::string("nul"), dir / "nul",
                                      dir / "con.txt", std::string("\\\\.\\NUL")}) {
        EXPECT_FALSE(File::OpenRead(device).IsOpen()) << device;
        EXPECT_FALSE(File::OpenWrite(device).IsOpen()) << device;
        EXPECT_FALSE(File::CreateNew(device).IsOpen()) << device;
        EXPECT_FALSE(platform::IsRegularFile(device)) << device;
        EXPECT_NE(platform::RegularFileError(device), 0) << device;
    }
}

TEST(WindowsFiles, RenamesNeverReplaceAndSettingsSaveAgainAndAgain) {
    TempDir dir;
    WriteFile(dir / "from", "new");
    WriteFile(dir / "to", "old");
    int error = 0;
    EXPECT_FALSE(platform::RenameNoReplace(dir / "from", dir / "to", &error));
    EXPECT_EQ(error, EEXIST);
    EXPECT_EQ(ReadFile(dir / "to"), "old");

    // A rename that cannot replace would make every save after the first fail.
    for (const char* content : {"first", "second", "third"}) {
        ASSERT_TRUE(platform::WriteFileAtomically(dir / "settings.reg", content)) << content;
        EXPECT_EQ(ReadFile(dir / "settings.reg"), content);
    }
    // A hidden settings file stays hidden; nothing is left beside it.
    const std::wstring wide = FsPath(dir / "settings.reg").wstring();
    ASSERT_TRUE(::SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(platform::WriteFileAtomically(dir / "settings.reg", "fourth"));
    EXPECT_EQ(ReadFile(dir / "settings.reg"), "fourth");
    EXPECT_TRUE(::GetFileAttributesW(wide.c_str()) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(ListDir(dir.path()), (std::vector<std::string>{"from", "settings.reg", "to"}));
}

TEST(WindowsFiles, FilesAreKnownAgainByVolumeAndIndex) {
    TempDir dir;
    WriteFile(dir / "a", "data");
    File made = File::OpenRead(dir / "a", Share::Read);
    const platform::FileIdentity identity = made.Identity().value();
    EXPECT_TRUE(made.IsNamedBy(dir / "a"));
    EXPECT_TRUE(platform::SameFile(dir / "a", dir.path() + "." + "\\a"));
    made.Close();
    ASSERT_TRUE(platform::RenameNoReplace(dir / "a", dir / "b"));
    WriteFile(dir / "a", "data");
    EXPECT_EQ(File::OpenReadSame(dir / "a", identity).OpenError(), ESTALE);
    EXPECT_FALSE(platform::RemoveIfSame(dir / "a", identity));
    EXPECT_TRUE(platform::FileExists(dir / "a"));
    EXPECT_TRUE(platform::RemoveIfSame(dir / "b", identity));
    EXPECT_FALSE(platform::FileExists(dir / "b"));
}

TEST(WindowsFiles, DisksAndFolders) {
    TempDir dir;
    EXPECT_GT(platform::FreeSpace(dir.path()), 0);
    EXPECT_FALSE(platform::IsOpticalDisc(dir.path()));
    const std::string volume = platform::VolumeOf(dir.path());
    EXPECT_EQ(volume.back(), '\\') << volume;
    EXPECT_EQ(volume.substr(1, 1), ":") << volume;
    EXPECT_EQ(platform::AbsolutePath(dir / "x/../y"), platform::AbsolutePath(dir.path()) + "y");
    EXPECT_EQ(platform::FileNameOf(platform::ExecutablePath()), "test_platform.exe");
    EXPECT_TRUE(platform::GetEnv("PATH").has_value());
    SetEnv("PCW_TEST_VARIABLE", "é");
    EXPECT_EQ(platform::GetEnv("PCW_TEST_VARIABLE"), "é");
    UnsetEnv("PCW_TEST_VARIABLE");
    EXPECT_FALSE(platform::GetEnv("PCW_TEST_VARIABLE").has_value());
    EXPECT_TRUE(platform::FindOnPath("cmd").has_value());
}

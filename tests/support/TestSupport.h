// Shared by every suite: a scratch folder, random files, a message recorder and
// a display that remembers what the worker wrote.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "core/ProgressDisplay.h"
#include "platform/Messages.h"

namespace testsupport {

// A fresh folder under the system's temporary folder, removed with its content.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    // The folder, ending with the separator.
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + name; }

private:
    std::string path_;
};

// Sets or removes an environment variable of this process, on every system.
void SetEnv(const char* name, const std::string& value);
void UnsetEnv(const char* name);

// A path of the program's UTF-8 text as the file-system library takes it, and
// back: on Windows std::filesystem's narrow strings are in the ANSI code page.
std::filesystem::path FsPath(const std::string& utf8);
std::string Utf8(const std::filesystem::path& path);

// What only Linux has, and the tests of it, which Windows skips with the reason:
// - symbolic links, which need a privilege there that users seldom hold (and
//   the program makes none there);
// - copies between two open files inside the kernel: Windows copies through
//   the buffer alone, where the kernel's faults cannot happen;
// - coreutils split and a POSIX shell (sets of plain numbered parts are read
//   on Windows by the same code);
// - changes to a file that a job holds open: no sharing refuses them all on
//   Windows, which WindowsFiles tests instead.
#ifdef _WIN32
#define PCW_SKIP_WITHOUT_LINKS() GTEST_SKIP() << "symbolic links need a privilege on Windows"
#define PCW_SKIP_WITHOUT_KERNEL_COPIES() \
    GTEST_SKIP() << "Windows copies between files through the buffer alone"
#define PCW_SKIP_WITHOUT_COREUTILS() GTEST_SKIP() << "coreutils split and a shell are Linux's"
#define PCW_SKIP_WHERE_HELD_FILES_ARE_LOCKED() \
    GTEST_SKIP() << "Windows refuses every change to a file that a job holds"
inline constexpr bool kHasLinks = false;
inline constexpr bool kHeldFilesCanChange = false;
#else
#define PCW_SKIP_WITHOUT_LINKS() static_cast<void>(0)
#define PCW_SKIP_WITHOUT_KERNEL_COPIES() static_cast<void>(0)
#define PCW_SKIP_WITHOUT_COREUTILS() static_cast<void>(0)
#define PCW_SKIP_WHERE_HELD_FILES_ARE_LOCKED() static_cast<void>(0)
inline constexpr bool kHasLinks = true;
inline constexpr bool kHeldFilesCanChange = true;
#endif

// A symbolic link at `link` to `target` (kept as given, relative or not).
bool MakeSymlink(const std::string& target, const std::string& link);

std::string RandomBytes(size_t size, uint32_t seed);
void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);
// Lists the names in a folder, sorted.
std::vector<std::string> ListDir(const std::string& folder);

// A message as the sink received it.
struct ShownMessage {
    std::string text;
    std::string title;
    int icon;  // the value of the platform::Icon, as the tests write it
    platform::WindowHandle owner;
};

// Makes every disk report `bytes` free, for the scope of a test.
class FreeSpaceIs {
public:
    explicit FreeSpaceIs(int64_t bytes);
    ~FreeSpaceIs();
    FreeSpaceIs(const FreeSpaceIs&) = delete;
    FreeSpaceIs& operator=(const FreeSpaceIs&) = delete;
};

// Records every message box instead of showing it, for the scope of a test.
class RecordingSink final : public platform::MessageSink {
public:
    RecordingSink();
    ~RecordingSink() override;
    void Show(platform::WindowHandle owner, std::string_view text, std::string_view title,
              platform::Icon icon) override;
    std::vector<ShownMessage> messages() const;
    std::vector<std::string> texts() const;

private:
    mutable std::mutex mutex_;
    std::vector<ShownMessage> messages_;
    platform::MessageSink* previous_;
};

// Remembers every slot write in order, and the last value of each slot.
class RecordingDisplay final : public ProgressDisplay {
public:
    void SetOverallBar(int position) override;
    void SetPartBar(int position) override;
    void SetPercentText(std::string_view text) override;
    void SetStatusText(std::string_view text) override;
    void SetPartText(std::string_view text) override;
    void SetDoneText(std::string_view text) override;
    void RunClock(bool enabled) override;
    // Shows the worker's messages through the sink, owned by `owner`, as a
    // progress window owns them.
    void ShowMessage(const platform::Message& message) override {
        platform::ShowMessages(owner, {message});
    }
    void CloseAfterJob() override;

    platform::WindowHandle owner = nullptr;
    std::vector<std::string> writes() const;  // "slot=value"
    std::vector<std::string> valuesOf(const std::string& slot) const;
    int closes() const;

private:
    void Record(const std::string& slot, std::string value);
    mutable std::mutex mutex_;
    std::vector<std::string> writes_;
    int closes_ = 0;
};

// A suite whose tests run once in each language of the catalogue: a test
// expects texts by their ids (texts::Say), worded in the language in force.
class EachLanguage : public ::testing::TestWithParam<std::string_view> {
protected:
    void SetUp() override;
    void TearDown() override;
    // The environment a program started by the test needs to speak the same
    // language, as `env` takes it: "LC_ALL=en_US.UTF-8".
    std::string LocaleVariable() const;
};
// The codes of every catalogue, for INSTANTIATE_TEST_SUITE_P.
std::vector<std::string_view> LanguageCodes();
std::string LanguageName(const ::testing::TestParamInfo<std::string_view>& info);

// Polls until the condition holds or a few seconds have passed.
template <class Condition>
bool Eventually(Condition condition) {
    for (int i = 0; i < 500; ++i) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return condition();
}

}  // namespace testsupport

// Shared by every suite: a scratch folder, random files, a message recorder and
// a display that remembers what the worker wrote.
#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
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

std::string RandomBytes(size_t size, uint32_t seed);
void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);
// Lists the names in a folder, sorted.
std::vector<std::string> ListDir(const std::string& folder);

struct Message {
    std::string text;
    std::string title;
    int icon;
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
              int icon) override;
    std::vector<Message> messages() const;
    std::vector<std::string> texts() const;

private:
    mutable std::mutex mutex_;
    std::vector<Message> messages_;
    platform::MessageSink* previous_;
};

// Remembers every slot write in order, and the last value of each slot.
class RecordingDisplay final : public ProgressDisplay {
public:
    void bar1(int position) override;
    void bar2(int position) override;
    void lblPourcentage(std::string_view text) override;
    void lblInfo(std::string_view text) override;
    void lblPartie(std::string_view text) override;
    void lblDone(std::string_view text) override;
    void Timer1(bool enabled) override;
    void CloseAfterJob() override;

    std::vector<std::string> writes() const;  // "slot=value"
    std::vector<std::string> valuesOf(const std::string& slot) const;
    int closes() const;

private:
    void Record(const std::string& slot, std::string value);
    mutable std::mutex mutex_;
    std::vector<std::string> writes_;
    int closes_ = 0;
};

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

// What the native suites share: jobs run to their end as the windows would run
// them, on a recording display, and whole folders compared before and after.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <future>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <utility>

#include "formats/Workflow.h"
#include "formats/native/NativeSet.h"
#include "formats/native/md5.h"
#include "platform/Fs.h"
#include "support/TestSupport.h"

// Jobs only hand their owners on to the sink; here an owner is a name that
// tells the two windows apart.
struct platform::OwnerWindow {
    const char* name;
};

namespace nativetest {

using namespace testsupport;

inline platform::OwnerWindow kMainWindow{"main"};
inline platform::OwnerWindow kProgressWindow{"progress"};
inline constexpr platform::WindowHandle kOwner = &kMainWindow;
inline constexpr platform::WindowHandle kProgress = &kProgressWindow;

inline constexpr char kStopped[] = "Le processus a été arrêté à cause d'une erreur !";
inline constexpr char kCancelled[] = "Le processus a été annulé.";
// What the joiner adds to a set that a split stopped before its end.
inline constexpr char kInterrupted[] =
    "\n\r\n\rLe jeu de fichiers semble incomplet : le découpage a probablement été interrompu.";
// What a failed join adds once it wrote into its output: where it left it.
inline std::string LeftUnder(const std::string& left) {
    return "\n\r\n\rLe fichier recollé est incomplet ; il a été laissé sous le nom :\n\r" + left;
}

// Waits for the worker; one that does not end stops the whole run rather than
// let it hang until the test driver gives up. The wait is generous: the
// largest sets take tens of seconds on a loaded machine.
inline void AwaitWorker(Job& job) {
    auto ended = std::async(std::launch::async, [&job] { job.WaitForWorker(); });
    if (ended.wait_for(std::chrono::seconds(300)) != std::future_status::ready) {
        ADD_FAILURE() << "the worker did not end";
        std::fflush(stdout);
        std::_Exit(1);
    }
}

// Destroys a job whose worker may still be under way, even held at a pause: the
// destructor must let it run to its end first. One that does not return stops
// the whole run rather than let it hang.
template <class Job>
void Destroy(std::unique_ptr<Job>& job) {
    auto destroyed = std::async(std::launch::async, [&job] { job.reset(); });
    if (destroyed.wait_for(std::chrono::seconds(30)) != std::future_status::ready) {
        ADD_FAILURE() << "destroying the job never returns";
        std::fflush(stdout);
        std::_Exit(1);
    }
}

// Makes `display` the job's, with the worker's messages owned by the progress
// window as the windows own them.
inline void ShowAsProgressWindow(Job& job, ProgressDisplay& display) {
    if (auto* recording = dynamic_cast<RecordingDisplay*>(&display)) recording->owner = kProgress;
    job.display = &display;
}

// Fills a job as the main window does after opening a file to split, of any
// size, and choosing `folder` for its parts.
inline void PrepareSplit(Job& job, const std::string& source, const std::string& folder,
                         ProgressDisplay& display) {
    ShowAsProgressWindow(job, display);
    workflow::TakeSourceToSplit(job, source, platform::FileSize(source));
    job.choices.folder = folder;
}

// Checks and runs a prepared job to its end; the step the worker ended on.
template <class Check>
Step Run(Job& job, workflow::Direction direction, Check check) {
    if (!check()) return Step::Failed;
    workflow::Start(job, direction);
    AwaitWorker(job);
    return job.step;
}

// Splits the source into parts named after it in `folder`; the step the worker ended on.
inline Step Split(const std::string& source, const std::string& folder, int32_t partSize,
                  uint32_t bufferSize, bool digests, ProgressDisplay& display) {
    NativeSet job;
    PrepareSplit(job, source, folder, display);
    const std::string name = platform::FileNameOf(source);
    return Run(job, workflow::Direction::Split, [&] {
        return workflow::CheckSplit(job, {name, name, digests, partSize, bufferSize},
                                    platform::ShowAfter(kOwner));
    });
}

inline Step Split(const std::string& source, const std::string& folder, int32_t partSize,
                  uint32_t bufferSize = 16384, bool digests = false) {
    RecordingDisplay display;
    return Split(source, folder, partSize, bufferSize, digests, display);
}

// Opens the set of `firstPart` into `job` as the main window does; false when refused.
inline bool OpenSet(Job& job, const std::string& firstPart, ProgressDisplay& display) {
    ShowAsProgressWindow(job, display);
    return workflow::OpenSetAt(job, firstPart, platform::ShowAfter(kOwner));
}

// Joins an opened set into `destName` (the stored name when empty).
inline Step Join(NativeSet& job, bool verify, uint32_t bufferSize = 16384,
                 std::string destName = "") {
    if (destName.empty()) destName = job.choices.fileName;
    return Run(job, workflow::Direction::Join, [&] {
        return workflow::CheckJoin(job, destName, verify, bufferSize, platform::ShowAfter(kOwner));
    });
}

// Opens and joins in one go.
inline Step Join(const std::string& firstPart, const std::string& destName, bool verify,
                 uint32_t bufferSize = 16384) {
    RecordingDisplay display;
    NativeSet job;
    if (!OpenSet(job, firstPart, display)) return Step::Failed;
    return Join(job, verify, bufferSize, destName);
}

// The two messages of a failed run: its own, then the general one.
inline void ExpectFailure(const RecordingSink& messages, const std::string& text,
                          const std::string& title, int icon) {
    const auto m = messages.messages();
    ASSERT_EQ(m.size(), 2u);
    EXPECT_EQ(m[0].text, text);
    EXPECT_EQ(m[0].title, title);
    EXPECT_EQ(m[0].icon, icon);
    EXPECT_EQ(m[0].owner, kProgress);
    EXPECT_EQ(m[1].text, kStopped);
    EXPECT_EQ(m[1].title, "-=Parcelwise=-");
    EXPECT_EQ(m[1].icon, 16);
    EXPECT_EQ(m[1].owner, kProgress);
}

// Every file of a folder with its content.
inline std::map<std::string, std::string> Snapshot(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const std::string& name : ListDir(folder)) files[name] = ReadFile(folder + name);
    return files;
}

inline std::string PartPath(const std::string& folder, const std::string& base, int number) {
    return NativePartName(folder + base, number);
}

// md5sum's digest of a file in upper case; empty when md5sum cannot be run.
inline std::string Md5sumOf(const std::string& path) {
    FILE* pipe = ::popen(("md5sum '" + path + "' 2>/dev/null").c_str(), "r");
    if (pipe == nullptr) return "";
    char line[64] = {};
    const bool read = std::fgets(line, sizeof line, pipe) != nullptr;
    ::pclose(pipe);
    std::string digest = read ? std::string(line, 32) : "";
    for (char& c : digest) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return digest;
}

// Waits until the worker of a job started while suspended is held at its first pause.
inline bool HeldAtItsFirstPause(Job& job) {
    for (int i = 0; i < 2000 && !job.Gate().WorkerHeld(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return job.Gate().WorkerHeld();
}

// A display that runs `act` once, on the worker's thread, when the part line
// first reads `text`: with "Recollage du fichier n° 2", between the copies of
// parts 1 and 2; with "… n° 1", inside the copy of a part 1 larger than one step.
class HookDisplay final : public ProgressDisplay {
public:
    HookDisplay(std::string text, std::function<void()> act)
        : text_(std::move(text)), act_(std::move(act)) {}
    void SetOverallBar(int) override {}
    void SetPartBar(int) override {}
    void SetPercentText(std::string_view) override {}
    void SetStatusText(std::string_view) override {}
    void SetPartText(std::string_view text) override {
        if (act_ && text == text_) std::exchange(act_, nullptr)();
    }
    void SetDoneText(std::string_view) override {}
    void RunClock(bool) override {}
    void ShowMessage(const platform::Message& m) override {
        platform::ShowMessages(kProgress, {m});
    }
    void CloseAfterJob() override {}
    bool Acted() const { return !act_; }

private:
    std::string text_;
    std::function<void()> act_;
};

// Changes bytes of a file where they are, without truncating or replacing it,
// as an editor or a download resumed over it would. The pause lets the clock
// of the file system move on, so that the change shows in its times even on
// coarse clocks.
inline void RewriteInPlace(const std::string& path, int64_t at) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    std::fstream file(FsPath(path), std::ios::in | std::ios::out | std::ios::binary);
    char byte = 0;
    file.seekg(at);
    file.get(byte);
    file.seekp(at);
    file.put(static_cast<char>(byte ^ 0x5A));
}

// Puts another file of the same size under the name of `path`.
inline void SwapFile(const std::string& path) {
    const std::string other = path + ".other";
    std::string content = ReadFile(path);
    for (char& c : content) c = static_cast<char>(c ^ 0x33);
    WriteFile(other, content);
    // Over the old file, as rename(2) does; Windows' C library rename never replaces.
    std::error_code error;
    std::filesystem::rename(FsPath(other), FsPath(path), error);
}

// A scratch folder with a random "film.avi" to cut and the parts made from it.
class NativeSetTest : public ::testing::Test {
protected:
    std::string Source(int64_t size) {
        source = RandomBytes(static_cast<size_t>(size), static_cast<uint32_t>(size));
        WriteFile(dir / "film.avi", source);
        return dir / "film.avi";
    }
    std::string Part(int number) { return PartPath(dir.path(), "film.avi", number); }
    // The set's files, without the source and any output.
    std::map<std::string, std::string> Parts() {
        auto files = Snapshot(dir.path());
        std::erase_if(files, [](const auto& f) { return !f.first.ends_with(".pcw"); });
        return files;
    }

    TempDir dir;
    RecordingSink sink;
    std::string source;
};

inline std::string TestMD5(const std::string& bytes) {
    MD5Context context;
    MD5Init(context);
    MD5Update(context, bytes.data(), bytes.size());
    return DigestToHex(MD5Final(context));
}

}  // namespace nativetest

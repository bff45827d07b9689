// The progress line that pcw draws on a terminal while a job runs.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <ostream>
#include <string>
#include <string_view>
#include <thread>

#include "core/ProgressDisplay.h"
#include "platform/Messages.h"

namespace cli {

// The progress window of the terminal: one line, "\r" + percentage + part +
// size done, redrawn by its own thread at most once a period from the latest
// values. Given the terminal's width, the line keeps short of its last column:
// a line that wraps, or a console that moves to the next line as soon as the
// last column is written, would leave each "\r" on a new row. The worker only
// stores texts under a mutex. While it lives it also stands in front of the
// message sink, so that a message starts on a line of its own and the line is
// not drawn over it.
class TerminalProgress final : public ProgressDisplay, private platform::MessageSink {
public:
    explicit TerminalProgress(std::ostream& out,
                              std::chrono::milliseconds period = std::chrono::milliseconds(200),
                              size_t columns = 0);
    ~TerminalProgress() override;
    TerminalProgress(const TerminalProgress&) = delete;
    TerminalProgress& operator=(const TerminalProgress&) = delete;

    void SetOverallBar(int) override {}
    void SetPartBar(int) override {}
    void SetPercentText(std::string_view text) override;
    void SetStatusText(std::string_view) override {}
    void SetPartText(std::string_view text) override;
    void SetDoneText(std::string_view text) override;
    void RunClock(bool) override {}
    // Stops the redraw, ends the line and gives the message sink back.
    void CloseAfterJob() override;

private:
    void Show(platform::WindowHandle owner, std::string_view text, std::string_view title,
              platform::Icon icon) override;
    void Store(std::string& slot, std::string_view text);
    void Loop();
    void Stop();
    // Under the mutex.
    void Draw();
    void EndLine();

    std::ostream& out_;
    const std::chrono::milliseconds period_;
    const size_t columns_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::string percent_, part_, done_;
    bool changed_ = false;
    bool lineOpen_ = false;
    bool stopping_ = false;
    size_t drawnWidth_ = 0;
    platform::MessageSink* previous_;
    std::thread thread_;
};

}  // namespace cli

#include "cli/TerminalProgress.h"

#include <algorithm>

#include "core/TextEncoding.h"
#include "platform/Console.h"

namespace cli {

TerminalProgress::TerminalProgress(std::ostream& out, std::chrono::milliseconds period,
                                   size_t columns)
    : out_(out), period_(period), columns_(columns), previous_(platform::CurrentMessageSink()) {
    platform::SetMessageSink(this);
    thread_ = std::thread([this] { Loop(); });
}

TerminalProgress::~TerminalProgress() {
    Stop();
}

void TerminalProgress::Store(std::string& slot, std::string_view text) {
    std::lock_guard lock(mutex_);
    slot.assign(text);
    changed_ = true;
}

void TerminalProgress::SetPercentText(std::string_view text) {
    Store(percent_, text);
}
void TerminalProgress::SetPartText(std::string_view text) {
    // The part texts carry file names, which may come from a set of someone else.
    Store(part_, platform::VisibleText(text));
}
void TerminalProgress::SetDoneText(std::string_view text) {
    Store(done_, text);
}

void TerminalProgress::CloseAfterJob() {
    Stop();
}

void TerminalProgress::Show(platform::WindowHandle owner, std::string_view text,
                            std::string_view title, platform::Icon icon) {
    std::lock_guard lock(mutex_);
    EndLine();
    previous_->Show(owner, text, title, icon);
}

void TerminalProgress::Loop() {
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        wake_.wait_for(lock, period_, [this] { return stopping_; });
        if (!stopping_ && changed_) Draw();
    }
}

void TerminalProgress::Stop() {
    {
        std::lock_guard lock(mutex_);
        if (stopping_) return;
        stopping_ = true;
        EndLine();
    }
    wake_.notify_all();
    thread_.join();
    platform::SetMessageSink(previous_);
}

void TerminalProgress::Draw() {
    std::string percent = percent_;
    if (percent.size() < 4) percent.insert(0, 4 - percent.size(), ' ');
    std::string part = part_;
    if (columns_ > 0) {
        // Too long for the terminal, the part text loses its start: its end
        // names the part. Long names are where this happens.
        const size_t room = columns_ - 1;
        const size_t others = Utf8Length(percent) + 4 + Utf8Length(done_);
        const size_t length = Utf8Length(part);
        if (others + length > room) {
            const size_t keep = room > others + 3 ? room - others - 3 : 0;
            part = keep > 0 ? "..." + part.substr(Utf8Left(part, length - keep).size()) : "";
        }
    }
    std::string line = percent + "  " + part + "  " + done_;
    if (columns_ > 0) line = Utf8Left(line, columns_ - 1);
    // Blanks over what a longer line left behind.
    const size_t width = Utf8Length(line);
    if (width < drawnWidth_) line.append(drawnWidth_ - width, ' ');
    drawnWidth_ = width;
    out_ << '\r' << line << std::flush;
    lineOpen_ = true;
    changed_ = false;
}

void TerminalProgress::EndLine() {
    if (changed_) Draw();
    if (!lineOpen_) return;
    out_ << '\n' << std::flush;
    lineOpen_ = false;
    drawnWidth_ = 0;
}

}  // namespace cli

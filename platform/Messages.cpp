#include "platform/Messages.h"

#include <atomic>
#include <cstdio>
#include <string>

namespace platform {

namespace {

class StderrSink final : public MessageSink {
public:
    void Show(WindowHandle, std::string_view text, std::string_view title, int) override {
        std::string line(title);
        line += ": ";
        // A terminal wants plain line feeds; "\n\r" would leave a stray return.
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\n' && i + 1 < text.size() && text[i + 1] == '\r') {
                line += '\n';
                ++i;
            } else {
                line += text[i];
            }
        }
        line += '\n';
        std::fwrite(line.data(), 1, line.size(), stderr);
        std::fflush(stderr);
    }
};

StderrSink g_stderrSink;
std::atomic<MessageSink*> g_sink{nullptr};

}  // namespace

void SetMessageSink(MessageSink* sink) { g_sink.store(sink); }

MessageSink* CurrentMessageSink() {
    MessageSink* sink = g_sink.load();
    return sink ? sink : &g_stderrSink;
}

void MessageBoxA(WindowHandle owner, std::string_view text, std::string_view title, int icon) {
    CurrentMessageSink()->Show(owner, text, title, icon);
}

}  // namespace platform

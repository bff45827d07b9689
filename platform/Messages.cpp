#include "platform/Messages.h"

#include <atomic>
#include <iostream>
#include <string>

namespace platform {

namespace {

void AppendVisible(std::string& out, std::string_view text, bool lineBreaks) {
    static const char kHex[] = "0123456789abcdef";
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (lineBreaks && c == '\n' && i + 1 < text.size() && text[i + 1] == '\r') {
            // A message's line break; a terminal wants a plain line feed, "\n\r"
            // would leave a stray return. A line feed or a return alone comes
            // from a name, and is shown like the other controls.
            out += '\n';
            ++i;
        } else if (c < 0x20 || c == 0x7F) {
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 0x0F];
        } else if (c == 0xC2 && i + 1 < text.size() &&
                   static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                   static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
            const auto code = static_cast<unsigned char>(text[++i]);
            out += "\\u00";
            out += kHex[code >> 4];
            out += kHex[code & 0x0F];
        } else {
            out += static_cast<char>(c);
        }
    }
}

class StderrSink final : public MessageSink {
public:
    void Show(WindowHandle, std::string_view text, std::string_view title, Icon) override {
        std::string line = VisibleText(title);
        line += ": ";
        line += VisibleMessage(text);
        line += '\n';
        // Through std::cerr, like the rest of the command line's output, so that
        // it goes where the console streams send it (UTF-16 on a Windows console).
        std::cerr << line << std::flush;
    }
};

StderrSink g_stderrSink;
std::atomic<MessageSink*> g_sink{nullptr};

}  // namespace

std::string VisibleText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    AppendVisible(out, text, false);
    return out;
}

std::string VisibleMessage(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    AppendVisible(out, text, true);
    return out;
}

void SetMessageSink(MessageSink* sink) {
    g_sink.store(sink);
}

MessageSink* CurrentMessageSink() {
    MessageSink* sink = g_sink.load();
    return sink ? sink : &g_stderrSink;
}

void ShowMessage(WindowHandle owner, std::string_view text, std::string_view title, Icon icon) {
    CurrentMessageSink()->Show(owner, text, title, icon);
}

void ShowMessages(WindowHandle owner, const Messages& messages) {
    for (const Message& m : messages) ShowMessage(owner, m.text, m.title, m.icon);
}

}  // namespace platform

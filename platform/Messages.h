// Modal messages in the manner of ShowMessage(owner, text, title, icon).
//
// The program installs one sink at start: the windows show a message box on the
// UI thread and hold the calling worker until it is dismissed, the command line
// prints, tests record. Texts are UTF-8 and keep their "\n\r" line breaks.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The window that owns a message. The engine only hands owners on to the sink;
// a front end with windows defines the type, so that its sink reads a window
// back from a handle without a cast.
struct OwnerWindow;
// nullptr for none.
using WindowHandle = OwnerWindow*;

// The icon of a message; the values are those of the Windows message boxes.
enum class Icon : uint8_t { Error = 16, Warning = 48, Info = 64 };

// What the program tells the user: a text, its title and its icon. The engine
// decides and returns messages as values; the front ends show them, in order,
// each as it shows things (a message box owned by its window, a line on stderr).
struct Message {
    std::string text;
    std::string title;
    Icon icon = Icon::Error;
};
// The messages one step had to say, in the order they are to be shown.
using Messages = std::vector<Message>;

class MessageSink {
public:
    virtual ~MessageSink() = default;
    // Returns once the user has seen the message.
    virtual void Show(WindowHandle owner, std::string_view text, std::string_view title,
                      Icon icon) = 0;
};

// Installs the process-wide sink (nullptr restores the default, which prints
// "title: text" on stderr). The sink must outlive its installation.
void SetMessageSink(MessageSink* sink);
MessageSink* CurrentMessageSink();

// The text as a terminal may print it: every control character (C0, DEL and
// the C1 controls U+0080 to U+009F) written as "\x1b" or "\u009b", so that a
// name read from a file cannot move the cursor, retitle the window or erase
// the screen it is printed on.
std::string VisibleText(std::string_view text);
// The same, but the messages' line breaks "\n\r" end the line; a line feed or
// a return alone, as a file name may hold, is shown as "\x0a" or "\x0d".
std::string VisibleMessage(std::string_view text);

void ShowMessage(WindowHandle owner, std::string_view text, std::string_view title, Icon icon);
// Shows every message through the installed sink, owned by `owner`.
void ShowMessages(WindowHandle owner, const Messages& messages);

// What a front end hands a step for its messages when it shows them as soon as
// the step returns: `OpenFileToSplit(job, path, ShowAfter(owner))` shows what
// the call said once its full expression ends.
class ShowAfter {
public:
    explicit ShowAfter(WindowHandle owner = nullptr) : owner_(owner) {}
    ~ShowAfter() { ShowMessages(owner_, said_); }
    ShowAfter(const ShowAfter&) = delete;
    ShowAfter& operator=(const ShowAfter&) = delete;
    operator Messages&() { return said_; }

private:
    WindowHandle owner_;
    Messages said_;
};

}  // namespace platform

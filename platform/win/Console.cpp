#include "platform/Console.h"

#include <iostream>

#include "platform/Utf8Stream.h"
#include "platform/win/Wide.h"

namespace platform {

namespace {

// A file or a pipe: the bytes as they are, in as many writes as it takes.
bool WriteBytes(HANDLE handle, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD chunk =
            bytes.size() > (1u << 30) ? (1u << 30) : static_cast<DWORD>(bytes.size());
        DWORD written = 0;
        if (!::WriteFile(handle, bytes.data(), chunk, &written, nullptr) || written == 0)
            return false;
        bytes.remove_prefix(written);
    }
    return true;
}

// A console: UTF-16, in pieces that older consoles accept (they refuse a
// single write much over 26000 characters), never cut between the two halves
// of a surrogate pair.
bool WriteConsoleText(HANDLE handle, std::string_view bytes) {
    const std::wstring text = win::Widen(bytes);
    constexpr size_t kPiece = 8192;
    for (size_t at = 0; at < text.size();) {
        size_t count = text.size() - at < kPiece ? text.size() - at : kPiece;
        if (at + count < text.size() && IS_HIGH_SURROGATE(text[at + count - 1])) --count;
        DWORD written = 0;
        if (!::WriteConsoleW(handle, text.data() + at, static_cast<DWORD>(count), &written,
                             nullptr) ||
            written == 0)
            return false;
        at += written;
    }
    return true;
}

}  // namespace

std::vector<std::string> CommandLine(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(win::Narrow(argv[i]));
    return args;
}

size_t TerminalColumns(int fd) {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!::GetConsoleScreenBufferInfo(win::StdHandleOf(fd), &info)) return 0;
    const int columns = info.srWindow.Right - info.srWindow.Left + 1;
    return columns > 0 ? static_cast<size_t>(columns) : 0;
}

bool ConsoleIsOwnAlone() {
    // Room for two: all it takes to tell one process from several.
    DWORD processes[2] = {};
    return ::GetConsoleProcessList(processes, 2) == 1;
}

void WaitForKeyPress() {
    const HANDLE input = ::GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode = 0;
    if (input == nullptr || input == INVALID_HANDLE_VALUE || !::GetConsoleMode(input, &mode))
        return;
    // A key pressed before the question was asked is no answer to it.
    ::FlushConsoleInputBuffer(input);
    for (;;) {
        INPUT_RECORD record{};
        DWORD read = 0;
        if (!::ReadConsoleInputW(input, &record, 1, &read) || read == 0) return;
        if (record.EventType != KEY_EVENT || !record.Event.KeyEvent.bKeyDown) continue;
        // Shift, Ctrl or Alt alone, as on the way to another key, is no key yet.
        const WORD key = record.Event.KeyEvent.wVirtualKeyCode;
        if (key != VK_SHIFT && key != VK_CONTROL && key != VK_MENU) return;
    }
}

struct ConsoleStreams::State {
    struct Redirected {
        std::ostream* stream;
        std::streambuf* previous;
        std::unique_ptr<Utf8StreamBuffer> buffer;
    };
    Redirected streams[2];
    int count = 0;
};

ConsoleStreams::ConsoleStreams() : state_(std::make_unique<State>()) {
    const std::pair<std::ostream*, DWORD> standard[] = {{&std::cout, STD_OUTPUT_HANDLE},
                                                        {&std::cerr, STD_ERROR_HANDLE}};
    for (const auto& [stream, which] : standard) {
        const HANDLE handle = ::GetStdHandle(which);
        // A program started without a console or a file for it: nothing to show.
        if (handle == nullptr || handle == INVALID_HANDLE_VALUE) continue;
        DWORD mode = 0;
        Utf8StreamBuffer::Writer writer;
        if (::GetConsoleMode(handle, &mode))
            writer = [handle](std::string_view bytes) { return WriteConsoleText(handle, bytes); };
        else
            writer = [handle](std::string_view bytes) { return WriteBytes(handle, bytes); };
        stream->flush();
        auto buffer = std::make_unique<Utf8StreamBuffer>(std::move(writer));
        std::streambuf* previous = stream->rdbuf(buffer.get());
        state_->streams[state_->count++] = {stream, previous, std::move(buffer)};
    }
}

ConsoleStreams::~ConsoleStreams() {
    while (state_->count > 0) {
        auto& redirected = state_->streams[--state_->count];
        redirected.stream->flush();
        redirected.buffer->Finish();
        redirected.stream->rdbuf(redirected.previous);
    }
}

}  // namespace platform

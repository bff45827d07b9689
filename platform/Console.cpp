#include "platform/Console.h"

#include <sys/ioctl.h>
#include <unistd.h>

namespace platform {

std::vector<std::string> CommandLine(int argc, char** argv) {
    return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>{};
}

size_t TerminalColumns(int fd) {
    winsize size{};
    if (::isatty(fd) != 1 || ::ioctl(fd, TIOCGWINSZ, &size) != 0) return 0;
    return size.ws_col;
}

// A terminal outlives the program that writes to it.
bool ConsoleIsOwnAlone() {
    return false;
}

void WaitForKeyPress() {}

// A Linux terminal shows UTF-8 as it is: the standard buffers stay.
struct ConsoleStreams::State {};

ConsoleStreams::ConsoleStreams() = default;
ConsoleStreams::~ConsoleStreams() = default;

}  // namespace platform

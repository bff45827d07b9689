// The command line's own surroundings: its arguments, and standard output and
// errors that show the program's UTF-8 texts as they are written.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace platform {

// The arguments after the program's name, in UTF-8: from main's arguments on
// Linux, which are the bytes of the names; from wmain's UTF-16 arguments on
// Windows, which carry every name the user can type, where the ANSI code page
// of main's would lose what it has no character for.
#ifdef _WIN32
std::vector<std::string> CommandLine(int argc, wchar_t** argv);
#else
std::vector<std::string> CommandLine(int argc, char** argv);
#endif

// The width in columns of the terminal that the descriptor (1 output, 2 errors)
// writes to; 0 when it is no terminal or does not say.
size_t TerminalColumns(int fd);

// True when the program's console is its own alone: no other program is
// attached to it, as when Explorer starts a console program with a double click
// and its window closes the moment the program ends. False in a Command Prompt
// or a terminal, which outlive the program, without a console, and on Linux.
bool ConsoleIsOwnAlone();
// Waits until a key is pressed in the console; at once when the standard
// input is no console (a file, a pipe, nothing) and on Linux.
void WaitForKeyPress();

// While it lives, std::cout and std::cerr write the program's UTF-8 so that it
// reads the same wherever it goes. A Linux terminal and a file take the bytes
// as they are and nothing changes. On Windows a console is written in UTF-16
// (WriteConsoleW), whatever its code page, and a file or a pipe receives the
// UTF-8 bytes unchanged: no "\n" becomes "\r\n", so that the output of a
// command is byte for byte the same on both systems.
class ConsoleStreams {
public:
    ConsoleStreams();
    ~ConsoleStreams();
    ConsoleStreams(const ConsoleStreams&) = delete;
    ConsoleStreams& operator=(const ConsoleStreams&) = delete;

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace platform

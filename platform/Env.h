// The process's surroundings: environment, home, own location, terminals and
// helper programs.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The variable's value; nothing when unset or empty.
std::optional<std::string> GetEnv(const char* name);
// The user's home folder, without a trailing separator.
std::string HomeFolder();
// The full path of the running program.
std::string ExecutablePath();
// True when the descriptor (0 input, 1 output, 2 errors) is a terminal.
bool IsTerminal(int fd);

// The full path of the first program of that name on the PATH, as a shell
// would find it; nothing when there is none.
std::optional<std::string> FindOnPath(const std::string& name);
// True when a program of that name is on the PATH.
bool HasTool(const std::string& name);
// Runs a program with its arguments (no shell) and waits for it; true when it
// exited with status 0. Its output is discarded.
bool RunTool(const std::vector<std::string>& argv);

}  // namespace platform

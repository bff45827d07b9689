// The process's surroundings: environment, home, own location, terminals,
// helper programs, and whole-file reads and atomic whole-file writes.
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

// Creates the folder and its missing parents; true when it exists after.
bool MakeFolders(const std::string& folder);
// The whole file; nothing when it cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& path);
// Replaces the file's content so that a crash or a full disk leaves either the
// old content or the new one, never a mix: temporary file, fsync, rename. The
// file keeps its mode and, where the system allows, its owner; a symbolic link
// stays a link, and the file it leads to is the one replaced, from a temporary
// file in that file's own folder.
bool WriteFileAtomically(const std::string& path, std::string_view content);
// The path that a name leads to through the symbolic links of its last
// component; the name itself when it is no link.
std::string FollowLinks(const std::string& path);
// Gives a file a second name, or a copy of itself under that name when the
// file system cannot (no hard links); fails when the name is taken.
bool CopyNoReplace(const std::string& from, const std::string& to);

// The full path of the first program of that name on the PATH, as a shell
// would find it; nothing when there is none.
std::optional<std::string> FindOnPath(const std::string& name);
// True when a program of that name is on the PATH.
bool HasTool(const std::string& name);
// Runs a program with its arguments (no shell) and waits for it; true when it
// exited with status 0. Its output is discarded.
bool RunTool(const std::vector<std::string>& argv);

}  // namespace platform

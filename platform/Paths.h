// Names and paths as each system reads them: separators, the parts of a path,
// what a plain file name may hold and how names compare. Nothing here asks
// the file system.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The rules of the system that names must satisfy: the build's system by
// default; the other one only for tests, so that each system's rules are
// tested on the other too.
enum class NameRules { Posix, Windows };
#ifdef _WIN32
inline constexpr NameRules kNameRules = NameRules::Windows;
inline constexpr char kSeparator = '\\';
#else
inline constexpr NameRules kNameRules = NameRules::Posix;
inline constexpr char kSeparator = '/';
#endif

// The separator of a system's paths: "/", or "\\" on Windows, which reads "/"
// as one too.
constexpr char SeparatorOf(NameRules rules) {
    return rules == NameRules::Windows ? '\\' : '/';
}
constexpr bool IsSeparator(char c, NameRules rules = kNameRules) {
    return c == '/' || (rules == NameRules::Windows && c == '\\');
}

// The folder part of a path, ending with the separator ("./" for a bare name,
// ".\\" on Windows).
std::string FolderOf(std::string_view path, NameRules rules = kNameRules);
// The last component of a path.
std::string FileNameOf(std::string_view path, NameRules rules = kNameRules);
// The folder with exactly one trailing separator.
std::string WithSeparator(std::string_view folder, NameRules rules = kNameRules);
// True when the name is a plain file name here: not empty, not "." or "..",
// no separator, no NUL and no control character (a backslash is a character
// like another on POSIX). On Windows also none of
// < > : " | ? *, no trailing dot or space, and no device name (CON, PRN, AUX,
// NUL, COM0-COM9, LPT0-LPT9, CONIN$, CONOUT$), which opens the device
// whatever extension follows ("nul.txt").
bool IsSafeFileName(std::string_view name, NameRules rules = kNameRules);
// The name made into a plain file name: separators, control characters and
// the characters Windows forbids become "_", as do trailing dots and spaces
// on Windows, a name of dots alone becomes underscores, an empty name "_",
// and a device name takes a "_" in front ("_nul.txt").
std::string SafeFileName(std::string_view name, NameRules rules = kNameRules);
// The same for a piece of a name, such as an extension: a device name is one
// only as a whole name ("con" extends "film.con" as it is).
std::string SafeNamePart(std::string_view part, NameRules rules = kNameRules);

// What a file name may not hold, in the words of the messages that refuse one.
std::string ForbiddenInNames(NameRules rules = kNameRules);
// True when the name is refused, or given a "_" in front by SafeFileName,
// because Windows reserves it for a device ("nul.txt", "COM1"); never on POSIX.
bool IsReservedName(std::string_view name, NameRules rules = kNameRules);
// Why such a name is refused or changed, in the words of the messages.
std::string ReservedNameReason();

// The entries of a list such as PATH, split at `separator`, empty ones left out.
std::vector<std::string> ListEntries(std::string_view list, char separator);

// Whether two file names name the same file as the system compares them:
// byte for byte on POSIX, without case on Windows (see FoldCase).
bool SameFileName(std::string_view a, std::string_view b, NameRules rules = kNameRules);
// Whether a file name starts with `prefix` as the system compares names.
bool FileNameStartsWith(std::string_view name, std::string_view prefix,
                        NameRules rules = kNameRules);
// Whether the text ends with `ending` in any case, whatever the system: the
// endings the program gives its own files (".001.pcw") are recognised so.
bool EndsWithNoCase(std::string_view text, std::string_view ending);
// The text in lower case for comparisons: ASCII letters, and the letters of
// Latin-1 and Windows-1252 (the names stored in part files) in UTF-8, whose
// lower case has the same length in bytes.
std::string FoldCase(std::string_view text);

}  // namespace platform

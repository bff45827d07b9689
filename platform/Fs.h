// Files, folders and disks: the few questions the jobs ask of the file system.
// Folders handed around the program end with kSeparator.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

inline constexpr char kSeparator = '/';

// True when anything (file, folder, link) carries that name.
bool FileExists(const std::string& path);
// True for a regular file, following links: what may be split or joined.
bool IsRegularFile(const std::string& path);
// 0 for a regular file, following links; otherwise why it is none: the errno
// of the look-up, EISDIR for a folder, EINVAL for anything else.
int RegularFileError(const std::string& path);
// True for a folder, following links.
bool IsFolder(const std::string& path);
// True when both names lead to one file, through links or not.
bool SameFile(const std::string& a, const std::string& b);
// Size of a file in bytes, -1 when it cannot be had.
int64_t FileSize(const std::string& path);
// The names in a folder, "." and ".." left out; empty when it cannot be read.
std::vector<std::string> FolderEntries(const std::string& folder);
// Renames, and fails rather than replace an existing target; the errno of a
// failure goes to `error` when one is given.
bool RenameNoReplace(const std::string& from, const std::string& to, int* error = nullptr);
// Bytes available to this user on the disk that holds the folder; 0 when unknown.
int64_t FreeSpace(const std::string& folder);
// True when the folder lies on an optical disc (ISO 9660 or UDF).
bool IsOpticalDisc(const std::string& folder);
// The mount point of the disk that holds the folder ("/" when unknown).
std::string VolumeOf(const std::string& folder);

// The folder part of a path, ending with kSeparator ("./" for a bare name).
std::string FolderOf(std::string_view path);
// The last component of a path.
std::string FileNameOf(std::string_view path);
// The folder with exactly one trailing separator.
std::string WithSeparator(std::string_view folder);
// An absolute form of the path, without resolving links of the last component.
std::string AbsolutePath(std::string_view path);
// True when the name is a plain file name here: not empty, not "." or "..",
// no separator, no NUL and no control character.
bool IsSafeFileName(std::string_view name);
// The name made into a plain file name: separators and control characters
// become "_", a name of dots alone becomes underscores, an empty name "_".
std::string SafeFileName(std::string_view name);

}  // namespace platform

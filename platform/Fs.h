// Files, folders and disks: the few questions the jobs ask of the file system.
// Folders handed around the program end with kSeparator.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Paths.h"

namespace platform {

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
// failure goes to `error` when one is given. A durable rename reaches the disk
// before it returns (the folder synced after it), so that a power cut leaves
// the old name or the new one; a folder that cannot be synced leaves the
// rename done all the same.
enum class Durability { Lazy, Durable };
bool RenameNoReplace(const std::string& from, const std::string& to, int* error = nullptr,
                     Durability durability = Durability::Lazy);
// Bytes available to this user on the disk that holds the folder; 0 when unknown.
int64_t FreeSpace(const std::string& folder);
// True when the folder lies on an optical disc (ISO 9660 or UDF).
bool IsOpticalDisc(const std::string& folder);
// The largest file that the file system holding the folder can store: FAT's
// 4,294,967,295 bytes (32-bit sizes); INT64_MAX where the system sets no
// lower limit, or when the folder cannot be looked at.
int64_t LargestFileOn(const std::string& folder);
// The mount point of the disk that holds the folder ("/" when unknown).
std::string VolumeOf(const std::string& folder);

// An absolute form of the path, without resolving links of the last component.
std::string AbsolutePath(std::string_view path);

// Creates the folder and its missing parents; true when it exists after.
bool MakeFolders(const std::string& folder);
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

}  // namespace platform

// Why the system refused an operation, in the words of the messages: every
// failure to open, create, read, write or rename a file adds one line naming
// the file and the reason after its own text, in the windows and in pcw alike.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// The reason for an errno, in the catalogue's words ("permission refusée", "disque plein"…).
// Our advisory lock reports a file held by another of our jobs as EBUSY.
std::string ErrorReason(int error);
// The line that follows a failure's own text: "\n\r" + path + " : " + reason.
std::string ReasonLine(std::string_view path, int error);
// The text of a failed creation. `listedText` names the likely causes after
// its " : " (the file exists, the folder is read-only); it is kept when the
// cause is one of them and cut to its first sentence otherwise, so that it
// never guesses wrong. The reason line follows in both cases.
std::string CreationFailure(std::string_view listedText, std::string_view path, int error);
// The longest file name, in bytes, that the file system of the folder accepts.
size_t MaxFileNameBytes(const std::string& folder);

}  // namespace platform

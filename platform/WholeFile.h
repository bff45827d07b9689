// A file read whole, for the small files the program keeps (settings,
// desktop entries).
#pragma once

#include <optional>
#include <string>

namespace platform {

// The whole file; nothing when it cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& path);

}  // namespace platform

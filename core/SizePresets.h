// The part sizes named after what the parts go on: a FAT32 stick, a disc, a
// mail service. Each size is what the medium takes with room for its file
// system, and for mail what the service takes once the attachment is
// encoded in base64 (4/3 of its size, and a line break every 76 characters).
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

struct SizePreset {
    std::string_view name;  // as --preset takes it
    int64_t bytes;
};

// In the order the windows' menu shows them.
std::span<const SizePreset> SizePresets();
// The preset called `name`, nullptr when there is none.
const SizePreset* FindSizePreset(std::string_view name);

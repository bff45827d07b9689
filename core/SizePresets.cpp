#include "core/SizePresets.h"

namespace {

constexpr SizePreset kPresets[] = {
    // FAT32 stores a file's size on 32 bits.
    {"fat32", 4294967295},
    // 700 MiB: a CD-R of 80 minutes holds 737,280,000 bytes.
    {"cd", 734003200},
    // 4480 MiB: a DVD±R holds 4,700,372,992 bytes.
    {"dvd", 4697620480},
    // 8140 MiB: a double-layer DVD±R holds 8,543,666,176 bytes.
    {"dvd-dl", 8535408640},
    // 23,800 MiB: a BD-R holds 25,025,314,816 bytes.
    {"bd", 24956108800},
    // 25 MB and 10 MB per message: base64 makes 18,000,000 bytes 24,631,579.
    {"mail-25", 18000000},
    {"mail-10", 7000000},
};

}  // namespace

std::span<const SizePreset> SizePresets() {
    return kPresets;
}

const SizePreset* FindSizePreset(std::string_view name) {
    for (const SizePreset& preset : kPresets)
        if (preset.name == name) return &preset;
    return nullptr;
}

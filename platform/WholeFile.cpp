// Whole-file reads, built on File alone: the same on every system.
#include "platform/WholeFile.h"
#include "platform/File.h"

namespace platform {

std::optional<std::string> ReadWholeFile(const std::string& path) {
    File file = File::OpenRead(path, Share::Read);
    if (!file.IsOpen()) return std::nullopt;
    std::string content;
    char chunk[65536];
    for (;;) {
        IoResult r = file.Read(chunk, sizeof chunk);
        if (!r.ok()) return std::nullopt;
        content.append(chunk, static_cast<size_t>(r.bytes));
        if (static_cast<size_t>(r.bytes) < sizeof chunk) break;
    }
    return content;
}

}  // namespace platform

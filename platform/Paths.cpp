// The names and paths that the program builds and checks: text alone, no
// call to the system, the same on every system.
#include "platform/Fs.h"

namespace platform {

namespace {
bool IsControl(unsigned char c) {
    return c < 0x20 || c == 0x7F;
}
}  // namespace

std::string FolderOf(std::string_view path) {
    size_t slash = path.rfind(kSeparator);
    if (slash == std::string_view::npos) return std::string(".") + kSeparator;
    return std::string(path.substr(0, slash + 1));
}

std::string FileNameOf(std::string_view path) {
    size_t slash = path.rfind(kSeparator);
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string WithSeparator(std::string_view folder) {
    std::string f(folder);
    while (f.size() > 1 && f.back() == kSeparator && f[f.size() - 2] == kSeparator) f.pop_back();
    if (f.empty() || f.back() != kSeparator) f += kSeparator;
    return f;
}

bool IsSafeFileName(std::string_view name) {
    return SafeFileName(name) == name;
}

std::string SafeFileName(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    for (size_t i = 0; i < name.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(name[i]);
        // C1 controls, U+0080 to U+009F, are C2 80..9F in UTF-8.
        if (c == 0xC2 && i + 1 < name.size()) {
            unsigned char next = static_cast<unsigned char>(name[i + 1]);
            if (next >= 0x80 && next <= 0x9F) {
                out += '_';
                ++i;
                continue;
            }
        }
        out += (c == kSeparator || c == '\\' || c == '\0' || IsControl(c)) ? '_'
                                                                           : static_cast<char>(c);
    }
    if (out.empty()) return "_";
    if (out.find_first_not_of('.') == std::string::npos) out.assign(out.size(), '_');
    return out;
}

}  // namespace platform

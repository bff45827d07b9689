#include "formats/plain/ChecksumFile.h"

#include <cctype>

#include "platform/Fs.h"
#include "platform/WholeFile.h"

namespace {

// A checksum file holds a line per part, 999 at most: anything much larger
// is no such file, and is not read whole.
constexpr int64_t kLargestChecksumFile = 1 << 20;

bool Unescape(std::string_view name, std::string& out) {
    out.clear();
    for (size_t i = 0; i < name.size(); ++i) {
        if (name[i] != '\\') {
            out += name[i];
            continue;
        }
        if (++i == name.size()) return false;
        if (name[i] == '\\')
            out += '\\';
        else if (name[i] == 'n')
            out += '\n';
        else
            return false;
    }
    return true;
}

}  // namespace

std::map<std::string, std::string> ParseChecksums(std::string_view text, size_t hexDigits) {
    std::map<std::string, std::string> digests;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        // A file that went through Windows may end its lines with CR LF.
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const bool escaped = !line.empty() && line.front() == '\\';
        if (escaped) line.remove_prefix(1);
        if (line.size() < hexDigits + 3 || line[hexDigits] != ' ' ||
            (line[hexDigits + 1] != ' ' && line[hexDigits + 1] != '*'))
            continue;
        std::string digest(line.substr(0, hexDigits));
        bool hex = true;
        for (char& c : digest) {
            hex = hex && std::isxdigit(static_cast<unsigned char>(c));
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        std::string name(line.substr(hexDigits + 2));
        if (escaped && !Unescape(line.substr(hexDigits + 2), name)) continue;
        if (hex && !name.empty()) digests[name] = digest;
    }
    return digests;
}

std::optional<ChecksumFile> FindChecksumFile(const std::string& base) {
    for (const auto& [kind, digits] :
         {std::pair{PlainDigest::Sha256, size_t{64}}, std::pair{PlainDigest::Md5, size_t{32}}}) {
        const std::string path = ChecksumFileName(base, kind);
        // A FIFO of that name would never end; a huge file is no checksum file.
        if (!platform::IsRegularFile(path) || platform::FileSize(path) > kLargestChecksumFile)
            continue;
        const std::optional<std::string> text = platform::ReadWholeFile(path);
        if (!text) continue;
        std::map<std::string, std::string> digests = ParseChecksums(*text, digits);
        if (!digests.empty()) return ChecksumFile{path, kind, std::move(digests)};
    }
    return std::nullopt;
}

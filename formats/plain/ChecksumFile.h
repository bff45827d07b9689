// The checksum file beside a plain set (NAME.sha256 or NAME.md5), as md5sum
// and sha256sum write it and this program's plain split writes it: a line
// "DIGEST  NAME" (or "DIGEST *NAME") for every part and for the whole file.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "formats/plain/PlainSet.h"

struct ChecksumFile {
    std::string path;
    PlainDigest kind = PlainDigest::None;
    // The digests in lower-case hexadecimal, by the file name each line names.
    std::map<std::string, std::string> digests;
};

// The lines of a checksum file whose digests have `hexDigits` digits, by
// name; a line that is no such line is left out. Names escaped as the
// checkers escape them (a line starting with a backslash) are read back.
std::map<std::string, std::string> ParseChecksums(std::string_view text, size_t hexDigits);

// The checksum file of the set whose rebuilt file is `base` (a path): base +
// ".sha256" first, then ".md5"; only one that names at least one file.
std::optional<ChecksumFile> FindChecksumFile(const std::string& base);

// Which kind of set a file belongs to, for a part given without its kind: by
// the rules of the format table (FormatTable.h), its first bytes first, then
// its name. Reads at most kDetectedBytes of the file.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct Detection {
    // The --format names of the kinds that fit, the likeliest first; empty
    // when none does.
    std::vector<std::string_view> kinds;
    // Why, in a few words: "signature Parcelwise", "nom numéroté"...
    std::string reason;
    // The file to open: a native set's first part when a later one was given,
    // and a KFK or D-Koup set's first part when it is there.
    std::string path;
};

Detection DetectKind(const std::string& path);

// Which kind of set a file belongs to, from its name and its first bytes, for
// a part given without --format. Reads at most a few hundred bytes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct Detection {
    // The --format names of the kinds that fit, the likeliest first; empty
    // when none does.
    std::vector<std::string_view> kinds;
    // Why, in a few words: "signature Parcelwise", "nom en .001"...
    std::string reason;
    // The file to open: a native set's first part when a later one was given,
    // and a KFK or D-Koup set's first part when it is there.
    std::string path;
};

Detection DetectKind(const std::string& path);

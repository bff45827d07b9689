// The kinds found by names alone (in the format table, those whose rules read
// no bytes of a part): one chosen file name and the names around it, put
// through every such kind. Each open ends cleanly, builds its part names
// inside the chosen file's folder, and its join touches no input.
#include <algorithm>
#include <vector>

#include "formats/FormatTable.h"
#include "fuzz/FuzzFiles.h"

namespace {

std::vector<std::string_view> KindsFoundByNamesAlone() {
    std::vector<std::string_view> kinds;
    for (const FormatRow& row : JoinFormats()) {
        const DetectionRules& rules = row.detection;
        if (rules.content.empty() && !rules.names.empty() &&
            std::none_of(rules.names.begin(), rules.names.end(),
                         [](const NameRule& rule) { return rule.headFits != nullptr; }))
            kinds.push_back(row.cliName);
    }
    return kinds;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static fuzzing::Scratch scratch;
    static bool silenced = (fuzzing::SilenceMessages(), true);
    (void)silenced;
    static const std::vector<std::string_view> kinds = KindsFoundByNamesAlone();
    for (std::string_view kind : kinds) fuzzing::FuzzForeignSet(kind, scratch, data, size, true);
    return 0;
}

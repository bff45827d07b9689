// The kind of set a part belongs to, told from its first bytes and its name:
// the input is one file's bytes, written under names made from every naming
// rule of the format table (each set's first part among them, and later
// parts beside it) and under one name that fits no rule. Whatever the bytes,
// the detection names only kinds the joiners know, each once, says why, and
// opens a file of the chosen file's folder.
#include <fstream>
#include <set>

#include "core/DisplayNumbers.h"
#include "formats/Detect.h"
#include "formats/FormatTable.h"
#include "fuzz/FuzzFiles.h"
#include "platform/Fs.h"

using namespace fuzzing;

namespace {

constexpr std::string_view kNoRuleName = "film";

// The names that `rule` reads as a part: its set's first parts, then parts 1,
// 3 and 12 on the fewest digits the rule takes.
std::vector<std::string> NamesOf(const NameRule& rule) {
    std::vector<std::string> numbers(rule.firstNumbers.begin(), rule.firstNumbers.end());
    for (int number : {1, 3, 12}) {
        const std::string text = NumberText(number, rule.minDigits);
        if (text.size() <= rule.maxDigits && !(rule.unpadded && text.front() == '0'))
            numbers.push_back(text);
    }
    std::vector<std::string> names;
    for (const std::string& number : numbers)
        names.push_back((rule.lettersEndText ? "film.avi" : "film.avi.") +
                        std::string(rule.letters) + number + std::string(rule.suffix));
    return names;
}

// Every rule's names, and for each whether it asks more than a name: what
// lies beside the part or its bytes. A name of a rule that asks nothing more
// must get a kind.
std::map<std::string, bool> RuleNames() {
    std::map<std::string, bool> names;
    for (const FormatRow& row : JoinFormats()) {
        for (const NameRule& rule : row.detection.names) {
            const bool namesAlone =
                rule.partAbsent.empty() && rule.partPresent.empty() && rule.headFits == nullptr;
            for (const std::string& name : NamesOf(rule)) names[name] |= namesAlone;
        }
    }
    return names;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Scratch scratch;
    static bool silenced = (SilenceMessages(), true);
    (void)silenced;
    static std::map<std::string, bool> names = [] {
        std::map<std::string, bool> made = RuleNames();
        made.emplace(kNoRuleName, false);
        return made;
    }();
    scratch.Reset();

    const std::string folder = scratch.set();
    for (const auto& [name, mustFit] : names) {
        std::ofstream out(folder + name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        if (!out) Broken("cannot write " + name);
    }
    for (const auto& [name, mustFit] : names) {
        const std::string given = folder + name;
        const Detection found = DetectKind(given);
        const std::string what = name + ": ";
        std::set<std::string_view> seen;
        for (std::string_view kind : found.kinds) {
            Expect(FormatOfCliName(kind) != nullptr, what + "unknown kind " + std::string(kind));
            Expect(seen.insert(kind).second, what + "kind " + std::string(kind) + " twice");
        }
        Expect(found.kinds.empty() || !found.reason.empty(), what + "a kind without a reason");
        Expect(!found.path.empty(), what + "no path to open");
        Expect(platform::FolderOf(found.path) == folder,
               what + "opens a file of another folder: " + found.path);
        // Here every set's first part is there, so the path is a file.
        Expect(platform::IsRegularFile(found.path), what + "opens no file: " + found.path);
        Expect(found.kinds.size() > 0 || !mustFit, what + "no kind for a name that fits a rule");
        const Detection again = DetectKind(given);
        Expect(again.kinds == found.kinds && again.path == found.path,
               what + "two detections of the same file differ");
    }
    return 0;
}

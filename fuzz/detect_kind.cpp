// The kind of set a part belongs to, told from its first bytes and its name:
// the input is one file's bytes, written under every name a rule looks at, the
// later parts beside their set's first one. Whatever the bytes, the detection
// names only kinds the joiners know, each once, says why, and opens a file of
// the chosen file's folder.
#include <fstream>
#include <set>

#include "formats/Detect.h"
#include "formats/FormatTable.h"
#include "fuzz/FuzzFiles.h"
#include "platform/Fs.h"

using namespace fuzzing;

namespace {

// Every name but the last fits some naming rule.
constexpr const char* kNames[] = {
    "film.avi.001.pcw", "film.avi.003.pcw", "film.avi.001",  "film.avi.003", "film.avi__001",
    "film.avi.kk0",     "film.avi.kk2",     "film.avi.D00",  "film.avi.D02", "film.avi.D01",
    "film.avi.1",       "film.avi.12",      "film.avi.u001", "film",
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Scratch scratch;
    static bool silenced = (SilenceMessages(), true);
    (void)silenced;
    scratch.Reset();

    const std::string folder = scratch.set();
    for (const char* name : kNames) {
        std::ofstream out(folder + name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        if (!out) Broken(std::string("cannot write ") + name);
    }
    for (const char* name : kNames) {
        const std::string given = folder + name;
        const Detection found = DetectKind(given);
        const std::string what = std::string(name) + ": ";
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
        Expect(found.kinds.size() > 0 || std::string_view(name) == "film",
               what + "no kind for a name that fits a rule");
        const Detection again = DetectKind(given);
        Expect(again.kinds == found.kinds && again.path == found.path,
               what + "two detections of the same file differ");
    }
    return 0;
}

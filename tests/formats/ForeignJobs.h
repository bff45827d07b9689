// What the foreign-set suites share: sets written file by file into a scratch
// folder, and jobs opened and joined as the main and progress windows would.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "NativeJobs.h"
#include "formats/FormatTable.h"
#include "formats/foreign/ForeignSet.h"

namespace foreigntest {

using namespace testsupport;
// The windows, the wait for the worker and the two messages of a failed run
// are those of the native suites.
using nativetest::AwaitWorker;
using nativetest::ExpectFailure;
using nativetest::kOwner;
using nativetest::kProgress;

// One file of a set: a header (or a whole descriptor), then `size` bytes of data.
struct Part {
    std::string name, header;
    size_t size = 0;
};

// stem + n on `width` digits for every n in [from, to], of `size` bytes each.
inline std::vector<Part> Numbered(const std::string& stem, int from, int to, size_t width,
                                  size_t size) {
    std::vector<Part> parts;
    for (int n = from; n <= to; ++n) {
        std::string number = std::to_string(n);
        parts.push_back(
            {stem + std::string(width - std::min(width, number.size()), '0') + number, "", size});
    }
    return parts;
}

// Writes the parts into the folder; returns the data of each, headers left out.
inline std::vector<std::string> WriteParts(const std::string& folder,
                                           const std::vector<Part>& parts) {
    std::vector<std::string> data;
    for (const Part& p : parts) {
        data.push_back(RandomBytes(p.size, static_cast<uint32_t>(data.size() + 7)));
        WriteFile(folder + p.name, p.header + data.back());
    }
    return data;
}

// Part 001's header of a Cutkiller set: the extension in five bytes, the count.
inline std::string CutHeader(const std::string& extension, const std::string& count) {
    return extension + std::string(5 - extension.size(), '\0') + count;
}

inline std::unique_ptr<ForeignSet> MakeJob(std::string_view kind) {
    const FormatRow* row = FormatOfCliName(kind);
    if (row == nullptr || row->code == FormatKind::Native) return nullptr;
    return std::unique_ptr<ForeignSet>(static_cast<ForeignSet*>(row->make().release()));
}

// Opens the chosen file as the main window does; false when refused.
inline bool Open(ForeignSet& job, const std::string& chosen, ProgressDisplay& display) {
    return nativetest::OpenSet(job, chosen, display);
}

// Checks the destination and runs the join to its end.
inline Step Join(ForeignSet& job, const std::string& name, uint32_t bufferSize = 16384) {
    return nativetest::Run(job, workflow::Direction::Join, [&] {
        return workflow::CheckJoin(job, name, false, bufferSize, platform::ShowAfter(kOwner));
    });
}

}  // namespace foreigntest

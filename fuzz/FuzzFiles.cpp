#include "fuzz/FuzzFiles.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "platform/Messages.h"

namespace fs = std::filesystem;

namespace fuzzing {

namespace {

class QuietSink final : public platform::MessageSink {
public:
    void Show(platform::WindowHandle, std::string_view, std::string_view, platform::Icon) override {
    }
};

bool PlainName(std::string_view name) {
    return !name.empty() && name.size() <= 200 && name != "." && name != ".." &&
           name.find('/') == std::string_view::npos && name.find('\0') == std::string_view::npos;
}

}  // namespace

Scratch::Scratch() {
    std::error_code ec;
    fs::path tmp = fs::temp_directory_path(ec);
    if (ec) tmp = "/tmp";
    root_ = (tmp / ("pcw-fuzz-" + std::to_string(::getpid()))).string() + "/";
    Reset();
}

Scratch::~Scratch() {
    std::error_code ec;
    fs::remove_all(root_, ec);
}

void Scratch::Reset() {
    std::error_code ec;
    fs::remove_all(root_, ec);
    fs::create_directories(set(), ec);
    if (ec) Broken("cannot make the scratch folder " + set() + ": " + ec.message());
}

std::string WriteFiles(const std::string& folder, const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::set<std::string> written;
    std::string first;
    size_t at = 0;
    for (bool isFirst = true; at <= input.size(); isFirst = false) {
        size_t end = input.find(kFileSeparator, at);
        if (end == std::string_view::npos) end = input.size();
        const std::string_view file = input.substr(at, end - at);
        const size_t lineEnd = std::min(file.find('\n'), file.size());
        const std::string name(file.substr(0, lineEnd));
        const std::string_view bytes = file.substr(std::min(lineEnd + 1, file.size()));
        if (PlainName(name) && written.insert(name).second) {
            std::ofstream out(folder + name, std::ios::binary);
            out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
            if (isFirst && out) first = folder + name;
        }
        at = end + kFileSeparator.size();
    }
    return first;
}

Tree Snapshot(const std::string& root) {
    Tree tree;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(root, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_regular_file())
            tree[fs::relative(it->path(), root).string()] = ReadWhole(it->path());
    }
    return tree;
}

std::string ReadWhole(const std::string& path) {
    // Through the stream buffer: GCC 12 sees a null pointer that is not
    // there in a string built from istreambuf_iterators.
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return std::move(bytes).str();
}

void Broken(const std::string& what) {
    std::fprintf(stderr, "fuzz property broken: %s\n", what.c_str());
    std::fflush(stderr);
    std::abort();
}

void ExpectJoinLeftInputs(const Tree& before, const Tree& after, const std::string& output,
                          Step end, const Job& job) {
    // A failed join's files, by their paths below the root.
    auto leftBehind = [&job](const std::string& path) {
        for (const std::string& left : job.leftBehind)
            if (std::string_view(left).ends_with("/" + path)) return true;
        return false;
    };
    for (const auto& [path, bytes] : before) {
        auto it = after.find(path);
        Expect(it != after.end(), "the join removed " + path);
        Expect(it->second == bytes, "the join changed " + path);
    }
    for (const auto& [path, bytes] : after)
        Expect(before.count(path) || path == output || (end == Step::Failed && leftBehind(path)),
               "the join wrote " + path);
    if (end == Step::Finished)
        Expect(after.count(output) == 1, "the join said it succeeded without writing " + output);
}

Step RunJoin(Job& job, const std::string& name, const std::string& root, std::string& output) {
    // The parameters alone: a crafted size must not keep the worker from running.
    if (!job.CheckJoinParameters(name, true, platform::ShowAfter())) return Step::Failed;
    const std::string target = job.choices.folder + job.choices.fileName;
    const std::string folder = root + "set/";
    Expect(target.compare(0, folder.size(), folder) == 0 &&
               target.find('/', folder.size()) == std::string::npos,
           "the rebuilt file would go to " + target);
    output = target.substr(root.size());
    job.SetBufferSize(16384);
    job.StartJoin();
    job.WaitForWorker();
    return job.step;
}

void SilenceMessages() {
    static QuietSink sink;
    platform::SetMessageSink(&sink);
}

}  // namespace fuzzing

#include "formats/FormatTable.h"
#include "formats/Workflow.h"
#include "formats/foreign/ForeignSet.h"
#include "platform/Fs.h"

namespace fuzzing {

void FuzzForeignSet(std::string_view kind, Scratch& scratch, const uint8_t* data, size_t size,
                    bool namesStayInFolder) {
    scratch.Reset();
    const std::string chosen = WriteFiles(scratch.set(), data, size);
    if (chosen.empty()) return;
    const Tree before = Snapshot(scratch.root());

    const FormatRow* row = FormatOfCliName(kind);
    Expect(row != nullptr && row->code != FormatKind::Native,
           "no foreign kind " + std::string(kind));
    std::unique_ptr<Job> made = row->make();
    auto& job = static_cast<ForeignSet&>(*made);
    if (!workflow::OpenSetAt(job, chosen, platform::ShowAfter())) return;
    Expect(platform::IsSafeFileName(job.choices.fileName),
           std::string(kind) + ": the original name is no plain file name");
    if (namesStayInFolder) {
        // In 64 bits, so that a set ending at the largest number ends the loop.
        const int64_t first = job.FirstNumber();
        const int64_t last = std::min<int64_t>(job.LastNumber(), first + 64);
        for (int64_t n = first; n <= last; ++n) {
            const std::string part = job.PartName(static_cast<int32_t>(n));
            Expect(platform::FolderOf(part) == scratch.set(),
                   std::string(kind) + ": part " + std::to_string(n) + " is " + part);
        }
    }
    // What a whole join writes: every part of the range, less the header that
    // the kind's row of the format table says it has.
    const int64_t firstOffset = row->offsets.first;
    const int64_t laterOffset = row->offsets.later;
    std::string expected;
    for (int64_t n = job.FirstNumber(); n <= job.LastNumber() && expected.size() < (1u << 20);
         ++n) {
        const std::string path = job.PartName(static_cast<int32_t>(n));
        if (!platform::FileExists(path)) break;  // the join fails then
        const std::string part = ReadWhole(path);
        const size_t offset =
            static_cast<size_t>(n == job.FirstNumber() ? firstOffset : laterOffset);
        expected.append(part, std::min(offset, part.size()));
    }

    std::string output;
    const Step end = RunJoin(job, job.choices.fileName, scratch.root(), output);
    const Tree after = Snapshot(scratch.root());
    ExpectJoinLeftInputs(before, after, output, end, job);
    if (end == Step::Finished)
        Expect(after.at(output) == expected,
               std::string(kind) + ": a finished join wrote other bytes than its parts hold");
}

}  // namespace fuzzing

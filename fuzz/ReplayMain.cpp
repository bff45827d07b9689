// Feeds files to a fuzz target without libFuzzer, so that the seeds and the
// saved inputs of past findings run as regressions with any compiler. Each
// argument is a file or a folder of files; a folder that does not exist holds
// nothing. A broken property aborts, which fails the test that runs this.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace fs = std::filesystem;

namespace {

int Replay(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", file.c_str());
        return 1;
    }
    // Through the stream buffer: GCC 12 sees a null pointer that is not
    // there in a string built from istreambuf_iterators.
    std::ostringstream read;
    read << in.rdbuf();
    const std::string bytes = std::move(read).str();
    std::fprintf(stderr, "%s\n", file.c_str());
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    int failures = 0;
    size_t replayed = 0;
    for (int i = 1; i < argc; ++i) {
        const fs::path arg(argv[i]);
        std::error_code ec;
        if (fs::is_directory(arg, ec)) {
            std::vector<fs::path> files;
            for (const auto& entry : fs::directory_iterator(arg, ec))
                if (entry.is_regular_file()) files.push_back(entry.path());
            std::sort(files.begin(), files.end());
            for (const auto& file : files) {
                failures += Replay(file);
                ++replayed;
            }
        } else if (fs::exists(arg, ec)) {
            failures += Replay(arg);
            ++replayed;
        }
    }
    std::fprintf(stderr, "%zu inputs replayed\n", replayed);
    return failures == 0 ? 0 : 1;
}

// pcw_md5bench FILE: prints the MD5 digest of FILE as the native part sets store
// it, computed by the same code that creates and checks their digests, so that
// bench/run can time our hashing against md5sum on the same file.
//
// pcw_md5bench --workers N PART...: prints the digest of every part, one a line
// in the order given, hashed by N workers at once (0: one per core), as the
// digests of a whole set are made and checked.
//
// pcw_md5bench --speed: prints how fast MD5 runs on bytes already in memory,
// in GB/s: one stream, then eight streams side by side (MD5UpdateLanes) on
// one core and on two, with the code this processor is given (AVX2, unless
// PARCELWISE_NO_AVX2 is set).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "formats/native/PartHasher.h"
#include "formats/native/md5.h"

namespace {

int HashWholeFile(const char* path) {
    auto digest = HashFile(path);
    if (!digest) {
        std::fprintf(stderr, "pcw_md5bench: cannot read %s\n", path);
        return 1;
    }
    std::printf("%s\n", DigestToHex(*digest).c_str());
    return 0;
}

int HashSet(const char* workers, char** paths, int count) {
    char* end = nullptr;
    const long forced = std::strtol(workers, &end, 10);
    if (*workers == '\0' || *end != '\0' || forced < 0 || forced > 1024) {
        std::fprintf(stderr, "pcw_md5bench: --workers takes a count, not '%s'\n", workers);
        return 2;
    }
    std::vector<PartToHash> parts(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) parts[static_cast<size_t>(i)].path = paths[i];
    PartHashOptions options;
    options.workers = static_cast<unsigned>(forced);
    const PartHashResult result = HashParts(parts, options);
    if (!result.ok()) {
        std::fprintf(stderr, "pcw_md5bench: cannot read %s: %s\n", paths[result.failedPart],
                     std::strerror(result.error));
        return 1;
    }
    for (const auto& digest : result.digests) std::printf("%s\n", DigestToHex(*digest).c_str());
    return 0;
}

// Eight streams of 1 MiB each, small enough to stay in the caches, so that
// the hash alone is timed, hashed `rounds` times over.
constexpr size_t kStreamBytes = 1 << 20;

double Seconds(const std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// Hashes `lanes` streams of kStreamBytes side by side, `rounds` times over.
void HashInMemory(size_t lanes, int rounds) {
    std::vector<uint8_t> bytes(lanes * kStreamBytes);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<uint8_t>(i * 2654435761u >> 13);
    std::vector<MD5Context> contexts(lanes);
    std::vector<MD5Lane> input(lanes);
    for (size_t k = 0; k < lanes; ++k) {
        MD5Init(contexts[k]);
        input[k] = {&contexts[k], bytes.data() + k * kStreamBytes, kStreamBytes};
    }
    for (int round = 0; round < rounds; ++round) MD5UpdateLanes(input.data(), lanes);
}

// One row: `threads` cores each hashing `lanes` streams side by side.
void SpeedRow(const char* what, size_t lanes, unsigned threads, int rounds) {
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::thread> others;
    for (unsigned t = 1; t < threads; ++t) others.emplace_back(HashInMemory, lanes, rounds);
    HashInMemory(lanes, rounds);
    for (std::thread& thread : others) thread.join();
    const double bytes = static_cast<double>(lanes * kStreamBytes) * rounds * threads;
    std::printf("%-40s %6.2f GB/s\n", what, bytes / Seconds(start) / 1e9);
}

int PrintSpeeds() {
    std::printf("md5 in memory, %s code\n",
                MD5ChosenLaneCode() == MD5LaneCode::Avx2 ? "AVX2" : "scalar");
    SpeedRow("one stream, 1 core", 1, 1, 1024);
    SpeedRow("eight streams side by side, 1 core", 8, 1, 256);
    SpeedRow("eight streams side by side, 2 cores", 8, 2, 256);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--speed") == 0) return PrintSpeeds();
    if (argc == 2 && std::strcmp(argv[1], "--workers") != 0) return HashWholeFile(argv[1]);
    if (argc >= 4 && std::strcmp(argv[1], "--workers") == 0)
        return HashSet(argv[2], argv + 3, argc - 3);
    std::fprintf(stderr,
                 "usage: pcw_md5bench FILE\n       pcw_md5bench --workers N PART...\n"
                 "       pcw_md5bench --speed\n");
    return 2;
}

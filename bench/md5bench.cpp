// pcw_md5bench FILE: prints the MD5 digest of FILE as the native part sets store
// it, computed by the same code that creates and checks their digests, so that
// bench/run can time our hashing against md5sum on the same file.
//
// pcw_md5bench --workers N PART...: prints the digest of every part, one a line
// in the order given, hashed by N workers at once (0: one per core), as the
// digests of a whole set are made and checked.
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--workers") != 0) return HashWholeFile(argv[1]);
    if (argc >= 4 && std::strcmp(argv[1], "--workers") == 0)
        return HashSet(argv[2], argv + 3, argc - 3);
    std::fprintf(stderr, "usage: pcw_md5bench FILE\n       pcw_md5bench --workers N PART...\n");
    return 2;
}

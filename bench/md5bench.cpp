// pcw_md5bench FILE: prints the MD5 digest of FILE as the native part sets store
// it, computed by the same code that creates and checks their digests, so that
// bench/run can time our hashing against md5sum on the same file.
#include <cstdio>

#include "formats/native/md5.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: pcw_md5bench FILE\n");
        return 2;
    }
    auto digest = HashFile(argv[1]);
    if (!digest) {
        std::fprintf(stderr, "pcw_md5bench: cannot read %s\n", argv[1]);
        return 1;
    }
    std::printf("%s\n", DigestToHex(*digest).c_str());
    return 0;
}

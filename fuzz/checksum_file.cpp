// A checksum file found beside a plain set, as anyone may have written it.
// Parsing ends cleanly, every digest it keeps is hexadecimal in lower case,
// and the lines written back from what it kept read back the same.
#include <string>

#include "formats/plain/ChecksumFile.h"
#include "fuzz/FuzzFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (const size_t digits : {size_t{32}, size_t{64}}) {
        const auto digests = ParseChecksums(text, digits);
        std::string written;
        for (const auto& [name, hex] : digests) {
            fuzzing::Expect(hex.size() == digits, "a digest of another length was kept");
            fuzzing::Expect(hex.find_first_not_of("0123456789abcdef") == std::string::npos,
                            "a digest is not lower-case hexadecimal");
            written += ChecksumLine(hex, name);
        }
        fuzzing::Expect(ParseChecksums(written, digits) == digests,
                        "the lines written back read otherwise");
    }
    return 0;
}

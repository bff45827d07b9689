// A Cutkiller first part: its 8-byte header with the extension and the count, and the parts named
// after it. The open and the join end cleanly and touch no input.
#include "fuzz/FuzzFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static fuzzing::Scratch scratch;
    static bool silenced = (fuzzing::SilenceMessages(), true);
    (void)silenced;
    // Part names here are the chosen name less its last characters; a name
    // shorter than that is still refused elsewhere, so only the join's
    // promises are checked.
    fuzzing::FuzzForeignSet("cutkiller", scratch, data, size, true);
    return 0;
}

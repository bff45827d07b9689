// An EasySplit part: its 16-byte header with the part's number, the count and the extension, and
// the parts named after it. The open and the join end cleanly and touch no input.
#include "fuzz/FuzzFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static fuzzing::Scratch scratch;
    static bool silenced = (fuzzing::SilenceMessages(), true);
    (void)silenced;
    // Part names here are the chosen name less its last characters; a name
    // shorter than that is still refused elsewhere, so only the join's
    // promises are checked.
    fuzzing::FuzzForeignSet("easysplit", scratch, data, size, true);
    return 0;
}

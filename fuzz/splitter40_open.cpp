// A Splitter 4.0 descriptor: its signature, the name and size fields behind TABs, and the data
// parts named after the descriptor. The open and the join end cleanly and touch no input.
#include "fuzz/FuzzFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static fuzzing::Scratch scratch;
    static bool silenced = (fuzzing::SilenceMessages(), true);
    (void)silenced;
    // Part names here are the chosen name less its last characters; a name
    // shorter than that is still refused elsewhere, so only the join's
    // promises are checked.
    fuzzing::FuzzForeignSet("splitter40", scratch, data, size, true);
    return 0;
}

// The kinds found by names alone (MaxSplit, Koup Koup, KFK, D-Koup, generic):
// one chosen file name and the names around it, put through every naming
// rule. Each open ends cleanly, builds its part names inside the chosen
// file's folder, and its join touches no input.
#include "fuzz/FuzzFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static fuzzing::Scratch scratch;
    static bool silenced = (fuzzing::SilenceMessages(), true);
    (void)silenced;
    for (const char* kind : {"maxsplit", "koupkoup", "kfk", "dkoup", "generic"})
        fuzzing::FuzzForeignSet(kind, scratch, data, size, true);
    return 0;
}

// Makes the job of a foreign format from the name the command line gives it,
// or from the entry of the join dialog that the user chose.
#pragma once

#include <memory>
#include <string_view>

#include "core/UzelFichier.h"

// cutkiller, generic, dkoup, kfk, easysplit, koupkoup, splitter40, maxsplit;
// nullptr for any other name.
std::unique_ptr<TzelFichier> CreateForeignJob(std::string_view kind);

// Entries 2 to 10 of the join dialog (3 and 10 are both the generic sets);
// nullptr for the native entry 1 and anything else.
std::unique_ptr<TzelFichier> CreateJoinJobForFilter(int index);

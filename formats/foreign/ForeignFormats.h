// Makes the job of a foreign format from the name the command line gives it,
// or from the entry of the join dialog that the user chose.
#pragma once

#include <memory>
#include <string_view>

#include "core/UzelFichier.h"

// The job of a foreign kind that --format names; nullptr for "native" and any
// other name.
std::unique_ptr<TzelFichier> CreateForeignJob(std::string_view kind);

// The job of a foreign entry of the join dialog (1-based); nullptr for the
// native entry and anything outside the list.
std::unique_ptr<TzelFichier> CreateJoinJobForFilter(int index);

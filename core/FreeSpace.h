// The room check made before a job starts: the file it writes must fit on the
// destination's disk with at least one byte to spare.
#pragma once

#include <cstdint>
#include <string>

#include "core/Message.h"

// The message that refuses a job for want of room.
std::string NotEnoughSpaceText(const std::string& volume, int64_t freeBytes, int64_t neededBytes);
// True when `neededBytes` is strictly below the free space of the folder's
// disk; otherwise adds the message that says so to `said` and answers false.
bool CheckFreeSpace(const std::string& folder, int64_t neededBytes, Messages& said);

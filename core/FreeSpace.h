// The room check made before a job starts: the file it writes must fit on the
// destination's disk with at least one byte to spare.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Messages.h"

// The message that refuses a job for want of room.
std::string NotEnoughSpaceText(const std::string& volume, int64_t freeBytes, int64_t neededBytes);
// True when `neededBytes` is strictly below the free space of the folder's
// disk; otherwise shows the message (owned by `owner`) and answers false.
bool CheckFreeSpace(platform::WindowHandle owner, const std::string& folder, int64_t neededBytes);

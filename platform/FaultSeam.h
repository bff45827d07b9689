// The file layers' side of the failure injection of IoFaults.h: what an
// installed plan lets one call do. Shared by the files of every system.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "platform/IoFaults.h"

namespace platform::fault {

// The installed plan, nullptr when none (the case outside tests).
testing::IoFaults* Plan();
// How many of n bytes a read, a write or a kernel copy may move under the plan;
// -1 with the errno in `error` when the call must fail outright.
int64_t AllowedRead(testing::IoFaults& plan, size_t n, int& error);
int64_t AllowedWrite(testing::IoFaults& plan, size_t n, int& error);
int64_t AllowedKernelCopy(testing::IoFaults& plan, size_t n, int& error);
// The free space that every folder answers under OverrideFreeSpace.
std::optional<int64_t> ForcedFreeSpace();
// The open-file limit set by OverrideOpenFileLimit.
std::optional<int64_t> ForcedOpenFileLimit();

}  // namespace platform::fault

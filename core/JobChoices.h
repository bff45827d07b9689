// The choices that steer one job. Every job owns exactly one.
#pragma once

#include <cstdint>
#include <string>

struct JobChoices {
    int32_t partSize = 0;     // split: bytes per part (the worker lowers it for the last part)
    std::string fileName;     // split: base name of the parts; join: name of the rebuilt file
    std::string folder;       // destination folder, always ending with the separator
    bool verifyHash = false;  // native join: check every part against its digest first
    // split: the source is the standard input, whose size is known at its end
    bool fromStandardInput = false;
    // join: write the rebuilt file to the standard output, not into the folder
    bool toStandardOutput = false;
    uint32_t bufferSize = 16384;
    // split: the count of parts the user asked for, 0 when a size
    int64_t partsAsked = 0;
};

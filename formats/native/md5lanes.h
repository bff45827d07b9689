// The block function of MD5 on eight messages at once, one message in each
// 32-bit lane of the AVX2 registers. md5.cpp drives it (MD5UpdateLanes); the
// rest of the program never sees the vector code, and the build as a whole
// stays baseline x86-64: only the functions behind this header are compiled
// for AVX2, and they run only once the processor said it has it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace md5lanes {

constexpr size_t kLanes = 8;

// The four state words of eight messages, word by word: word[0][k] is the a
// of lane k.
struct LaneStates {
    uint32_t word[4][kLanes];
};

// True when this processor can run TransformEight (AVX2, with the system
// saving its registers); always false on other processors.
bool ProcessorHasAvx2();

// Hashes `blocks` consecutive 64-byte blocks from each data[k] into the
// state of lane k. Every lane takes the same number of blocks: a lane with
// nothing to hash is given another lane's bytes and its state thrown away.
void TransformEight(LaneStates& states, const uint8_t* const data[kLanes], size_t blocks);

}  // namespace md5lanes

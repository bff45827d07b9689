// The check of a set without joining it: every part looked for, measured
// against the sizes the set announces or implies, and hashed when the set
// carries digests. Nothing is written.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class Job;

enum class PartState { Good, Missing, Unreadable, Short, Long, Damaged, Extra };

struct PartCheck {
    int32_t number = 0;
    std::string path;
    PartState state = PartState::Good;
    int64_t bytes = 0;     // the part's data
    int64_t expected = 0;  // what the set implies it holds; -1 when nothing does
    int error = 0;         // for an unreadable part
};

struct SetCheck {
    std::vector<PartCheck> parts;  // every part of the set, then any extra one
    bool digestsChecked = false;   // false for a set without digests
    // True when every part of the set is there, of its size and intact; an
    // extra file numbered past the set does not make it less whole.
    bool Whole() const;
};

// Checks the opened set of `job`, a native or a foreign one. The job's display
// shows the hashing as a verified join shows it.
SetCheck CheckSet(Job& job);

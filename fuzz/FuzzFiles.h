// What the file-set targets share. An input is one or more files, each a name
// on its first line and its bytes after it, files separated by kFileSeparator;
// the first file is the one the user would choose. The files are written into
// a scratch folder that is emptied before every input, so that each run sees
// only what its input describes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "core/Job.h"

namespace fuzzing {

inline constexpr std::string_view kFileSeparator = "\n|PART|\n";

// The scratch folder of this process: "<tmp>/pcw-fuzz-<pid>/", holding the
// folder "set/" where the files go. Emptied by Reset().
class Scratch {
public:
    Scratch();
    ~Scratch();
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;

    // Empties the scratch folder and makes "set/" again.
    void Reset();
    const std::string& root() const { return root_; }
    std::string set() const { return root_ + "set/"; }

private:
    std::string root_;
};

// Writes the input's files into `folder`. Files whose name is no plain file
// name, or repeats an earlier one, are left out. Returns the path of the
// first file, or "" when it was left out.
std::string WriteFiles(const std::string& folder, const uint8_t* data, size_t size);

// Every regular file below `root`, by path relative to it, with its bytes.
using Tree = std::map<std::string, std::string>;
Tree Snapshot(const std::string& root);
// The bytes of one file; empty when it cannot be read.
std::string ReadWhole(const std::string& path);

// Stops the run with a message when a property does not hold: libFuzzer
// then keeps the input that broke it.
[[noreturn]] void Broken(const std::string& what);
inline void Expect(bool holds, const std::string& what) {
    if (!holds) Broken(what);
}

// What a join may change: nothing of the files that were there, and nothing
// new but the rebuilt file `output`, which a finished join must have written,
// or what a failed one says it left (`job.leftBehind`, under its temporary name).
void ExpectJoinLeftInputs(const Tree& before, const Tree& after, const std::string& output,
                          Step end, const Job& job);

// Checks the destination as the action label does and runs the join to its
// end; the step the worker ended on. `output` receives the rebuilt file's
// path below `root`, which it must not leave.
Step RunJoin(Job& job, const std::string& name, const std::string& root, std::string& output);

// Keeps messages off the terminal for the whole run: thousands of inputs per
// second would otherwise drown the fuzzer's own output.
void SilenceMessages();

}  // namespace fuzzing

namespace fuzzing {

// Opens the input's first file as a set of the foreign `kind` and joins it
// when the open accepts it. The open ends cleanly whatever the files hold; an
// accepted set has a plain original name; its parts' names stay in the chosen
// file's folder when `namesStayInFolder`; the join touches no input.
void FuzzForeignSet(std::string_view kind, Scratch& scratch, const uint8_t* data, size_t size,
                    bool namesStayInFolder);

}  // namespace fuzzing

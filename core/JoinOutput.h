// The file a join writes. It is made under a temporary name beside the final
// one, "<name>.incomplet" (".2.incomplet", ".3.incomplet"… when taken; the
// name cut short when the folder holds no name that long), so that
// nothing under the final name ever looks whole before it is: only a join whose
// every byte was written and checked renames it, and never over a file.
#pragma once

#include <optional>
#include <string>

#include "platform/File.h"

class JoinOutput {
public:
    // Creates the temporary file of `finalPath`, replacing nothing. Check
    // IsOpen(); OpenError() tells why it could not be made.
    static JoinOutput Create(const std::string& finalPath);
    // The process's standard output in place of a file (`pcw join -o -`):
    // nothing is named, synced, renamed or taken back; TempPath() and
    // FinalPath() are the words that name it in a message.
    static JoinOutput StandardOutput();

    bool IsStream() const { return stream_; }

    bool IsOpen() const { return file_.IsOpen(); }
    int OpenError() const { return file_.OpenError(); }
    platform::File& File() { return file_; }
    const std::string& TempPath() const { return tempPath_; }
    const std::string& FinalPath() const { return finalPath_; }

    // Puts the file's data on the disk, closes it and gives it its final name,
    // durably: a power cut leaves the temporary file or the whole file under
    // its final name. False with the errno in `error` when a step failed (EEXIST
    // when a file took the final name meanwhile), and then the file stays under
    // its temporary name; Whole() then tells whether only the rename failed.
    bool Finish(int& error);
    // True once every byte of the file is on the disk and the file closed.
    bool Whole() const { return whole_; }
    // Closes the file and removes it, when it is still the file made here;
    // false when that file is still there (its folder became read-only).
    bool Discard();
    // Closes the file and leaves it where it is.
    void Leave();

private:
    JoinOutput(std::string finalPath, std::string tempPath, platform::File file);

    std::string finalPath_;
    std::string tempPath_;
    platform::File file_;
    std::optional<platform::FileIdentity> identity_;
    bool whole_ = false;
    bool stream_ = false;
};

// The temporary name of the `attempt`-th try (1, 2, …) for a final path, in
// a folder whose names hold at most `mostBytes` bytes: the final name and its
// ending, or when that is too long the start of the final name that fits
// with the ending, so that every name a folder holds can be joined to.
std::string IncompleteName(const std::string& finalPath, int attempt, size_t mostBytes);

// A part of a set from its check to the end of its copy. The copy must read
// the very file that was checked, as it was checked: the part stays open in
// between, and its identity is taken at the open so that a part rewritten in
// place, or another file renamed over its name, is caught before the job says
// it succeeded.
#pragma once

#include <cstdint>
#include <string>

#include "platform/File.h"

class CheckedPart {
public:
    // Opens the part and takes its identity; false when it cannot be opened.
    bool Open(const std::string& path);
    // Lets the handle go, for sets of more parts than may be open at once; the
    // identity stays, for Reopen to compare with.
    void Release() { file_.Close(); }
    // Opens a released part again; false when it cannot be opened. Whether it
    // is still the part checked is Unchanged's question.
    bool Reopen();

    platform::File& File() { return file_; }
    // The size taken at the open.
    int64_t Size() const { return identity_.size; }
    // True while both the open file and the file of that name are the part
    // checked, unchanged since.
    bool Unchanged() const;

private:
    std::string path_;
    platform::File file_;
    platform::FileIdentity identity_;
};

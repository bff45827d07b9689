// Every kind of set the program joins, in one table: the code its job carries,
// the name that `pcw --format` takes, the entry of the open dialog and the job
// that entry makes. The command line, its help and the dialog all read it, so
// a new format is one more row.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

class Job;
enum class FormatKind : uint8_t;

// One entry of a file dialog's type list.
struct FileTypeEntry {
    std::string_view label;     // UTF-8
    std::string_view patterns;  // "*.001;*.u001"
};

struct FormatRow {
    FormatKind code;
    // What --format names it; empty for an entry that the command line reaches
    // through another name.
    std::string_view cliName;
    FileTypeEntry entry;
    std::unique_ptr<Job> (*make)();
};

// In the order of the join dialog's entries; the first is the native format,
// which the command line takes when --format is not given.
std::span<const FormatRow> JoinFormats();
// The type list of the split dialog.
std::span<const FileTypeEntry> SplitFileTypes();

// The row of the join dialog's entry `index` (1-based); nullptr outside the list.
const FormatRow* FormatOfJoinEntry(int index);
// The row that --format names; nullptr for any other name.
const FormatRow* FormatOfCliName(std::string_view name);
// The names that --format takes, in the table's order.
std::vector<std::string_view> CliFormatNames();

// What the subcommands of pcw share: their context, the option parser, the
// destination folder and the run to its end. The
// steps of a job themselves are the engine's (formats/Workflow.h).
//
// A command writes its own output and usage errors to the context's streams
// and returns its exit status. The job's messages go through the platform's
// message sink, as in the windows: on stderr by default, recorded in tests.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "core/SplitSize.h"
#include "platform/Messages.h"

class Job;

namespace cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;  // refused or failed
inline constexpr int kExitUsage = 2;

inline constexpr char kVersion[] = "Parcelwise 1.1";
inline constexpr char kTitle[] = "-=Parcelwise=-";

// What the command line falls back on when an option is not given; the one
// place that the persisted settings will fill.
struct CliDefaults {
    uint32_t bufferSize = 16384;
    int sizeMode = kSizeModeTaille;
    int defaultSize = 15;
};

// The defaults of the user's settings in that folder, read without writing
// anything: the command line never changes the windows' settings.
CliDefaults ReadDefaults(const std::string& registryFolder);

struct Context {
    std::ostream& out;
    std::ostream& err;
    CliDefaults defaults{};
    // Redraw a progress line on err during a run: only when err is a terminal.
    bool progress = false;
    // The terminal's width in columns, which the progress line stays within;
    // 0 when unknown.
    size_t columns = 0;
    // Whether the console is pcw's own alone, so that its window closes as pcw
    // ends (a double click in Explorer), and the wait for a key before it does:
    // the platform's calls, or the tests' own. Unset, the console is shared.
    std::function<bool()> consoleIsOwnAlone = {};
    std::function<void()> waitForKey = {};
};

using Args = std::vector<std::string>;

struct OptionSpec {
    std::string_view name;  // with its dashes: "--size"
    bool takesValue;
};

// The arguments of one subcommand: its positional arguments and the options
// given, each at most once; `error` says what was wrong, empty when nothing.
struct Parsed {
    std::vector<std::string> positionals;
    std::map<std::string, std::string, std::less<>> options;  // a flag maps to ""
    std::string error;

    bool Has(std::string_view name) const { return options.find(name) != options.end(); }
    const std::string* Value(std::string_view name) const;
};

// Accepts "--opt value" and "--opt=value"; "--" ends the options so that a
// file whose name starts with a dash can be named.
Parsed ParseOptions(const Args& args, const std::vector<OptionSpec>& specs, size_t positionals);

// Reads an option as a whole decimal number in [min, max] into `out`, which is
// left alone when the option is absent. False, with `error` set, otherwise.
bool ReadNumber(const Parsed& parsed, std::string_view name, int64_t min, int64_t max, int64_t& out,
                std::string& error);
// Reads a size with its unit ("700M", "1.5G", "25MB": core/SizeWithUnit.h) of
// 1 to `most` bytes into `out`, left alone when the option is absent; a size
// past `most` is refused naming that limit.
bool ReadSize(const Parsed& parsed, std::string_view name, int64_t most, int64_t& out,
              std::string& error);
// Reads --preset, a size named after a medium (core/SizePresets.h), into
// `out`, left alone when the option is absent. A preset past `most` is refused,
// saying that a plain set (--plain) takes it.
bool ReadPreset(const Parsed& parsed, int64_t most, int64_t& out, std::string& error);
// The copy buffer: one of the seven sizes of the settings dialog.
bool ReadBufferSize(const Parsed& parsed, uint32_t& out, std::string& error);
// A name option must be a plain file name; an empty one is left to the job's
// own check, which reports it in the program's words.
bool ReadName(const Parsed& parsed, std::string_view name, std::optional<std::string>& out,
              std::string& error);

// The five lines of the synopsis.
std::string Synopsis();
// Prints the problem and the synopsis on err; returns kExitUsage.
int UsageError(Context& ctx, std::string_view problem);

// The kind of set that was opened: its --format name and, when it was
// detected rather than given, why.
struct KindOpened {
    std::string name;
    std::string reason;  // empty when --format gave the kind
};

// Opens the set named by the first argument as the kind --format gives (native
// when absent): nothing when `job` holds the opened set, the exit status
// otherwise, after the reason was given.
// Without --format the kind is detected; `kind` receives which kind and why.
std::optional<int> OpenSetOfKind(const Parsed& parsed, Context& ctx, std::unique_ptr<Job>& job,
                                 KindOpened* kind = nullptr);

// The start of split's and join's last words for scripts (--json): the
// command, its exit status, how it ended ("done", "refused" before the run,
// "failed", "cancelled") and the files it left behind. `job` is null when
// there was none to make (a set that could not be opened).
class JsonObject;
JsonObject RunJson(std::string_view command, int status, const Job* job, bool ran);
// What split's last words for scripts (--json) say of the set, after
// RunJson's: a native set or a plain one, and its digests ("md5", "sha256",
// or empty for none).
struct SplitFacts {
    std::string_view storedName;
    int64_t size = 0;
    int64_t partSize = 0;
    int64_t parts = 0;  // those the split made: 0 unless it ended well
    bool plain = false;
    std::string_view digest;
    std::string_view checksumFile;
};
std::string SplitJson(int status, const Job& job, bool ran, const SplitFacts& facts);

// The start of info's and verify's answers for scripts: the kind and why it
// was found (null when it was named by --format).
JsonObject KindJson(const KindOpened& kind);

// Makes `folder` the job's destination through the job's folder chooser;
// false, after a message, when it does not exist or lies on an optical disc.
bool UseFolder(Job& job, const std::string& folder);
// Runs the prepared job to its end; kExitOk exactly when it finished.
int RunJob(Job& job, bool join, Context& ctx);
// The same with the job's own start routine.
int RunJob(Job& job, const std::function<void()>& start, Context& ctx);

}  // namespace cli

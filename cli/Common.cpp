#include "cli/Common.h"

#include <charconv>

#include "cli/Json.h"
#include "cli/TerminalProgress.h"

#include "core/Job.h"
#include "core/SizePresets.h"
#include "core/SizeWithUnit.h"
#include "core/TextEncoding.h"
#include "formats/FormatTable.h"
#include "formats/Workflow.h"
#include "platform/Fs.h"
#include "platform/Reasons.h"
#include "platform/Signals.h"
#include "settings/SavedSettings.h"
#include "texts/Texts.h"

namespace cli {

using texts::Say;
using texts::TextId;

CliDefaults ReadDefaults(const std::string& registryFolder) {
    SavedSettings params({}, std::string(), registryFolder);
    params.PeekSettings();
    CliDefaults defaults;
    defaults.bufferSize = params.bufferSize;
    defaults.sizeMode = params.sizeMode == kSizeModeNombre ? kSizeModeNombre : kSizeModeTaille;
    defaults.defaultSize = params.defaultSize;
    return defaults;
}

namespace {

const OptionSpec* FindSpec(const std::vector<OptionSpec>& specs, std::string_view name) {
    for (const OptionSpec& candidate : specs)
        if (candidate.name == name) return &candidate;
    return nullptr;
}

}  // namespace

const std::string* Parsed::Value(std::string_view name) const {
    auto it = options.find(name);
    return it == options.end() ? nullptr : &it->second;
}

Parsed ParseOptions(const Args& args, const std::vector<OptionSpec>& specs, size_t positionals) {
    Parsed parsed;
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size() && parsed.error.empty(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            parsed.positionals.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        const size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        const OptionSpec* option = FindSpec(specs, name);
        if (option == nullptr) {
            parsed.error = Say(TextId::CliUnknownOption, {name});
        } else if (parsed.Has(name)) {
            parsed.error = Say(TextId::CliOptionTwice, {name});
        } else if (!option->takesValue) {
            if (equals != std::string::npos)
                parsed.error = Say(TextId::CliOptionTakesNoValue, {name});
            else
                parsed.options[name];
        } else if (equals != std::string::npos) {
            parsed.options[name] = arg.substr(equals + 1);
        } else if (i + 1 < args.size()) {
            parsed.options[name] = args[++i];
        } else {
            parsed.error = Say(TextId::CliValueMissing, {name});
        }
    }
    if (parsed.error.empty() && parsed.positionals.size() < positionals)
        parsed.error = Say(TextId::CliFileMissing);
    else if (parsed.error.empty() && parsed.positionals.size() > positionals)
        parsed.error = Say(TextId::CliArgumentTooMany, {parsed.positionals[positionals]});
    return parsed;
}

bool ReadNumber(const Parsed& parsed, std::string_view name, int64_t min, int64_t max, int64_t& out,
                std::string& error) {
    const std::string* text = parsed.Value(name);
    if (text == nullptr) return true;
    int64_t value = 0;
    auto [end, ec] = std::from_chars(text->data(), text->data() + text->size(), value);
    if (ec != std::errc() || end != text->data() + text->size() || value < min || value > max) {
        error =
            Say(TextId::CliWantsNumber, {name, std::to_string(min), std::to_string(max), *text});
        return false;
    }
    out = value;
    return true;
}

bool ReadSize(const Parsed& parsed, std::string_view name, int64_t most, int64_t& out,
              std::string& error) {
    const std::string* text = parsed.Value(name);
    if (text == nullptr) return true;
    const std::optional<int64_t> bytes = ParseSizeWithUnit(*text);
    if (bytes && *bytes > most) {
        error = Say(TextId::CliSizeAboveLimit,
                    {name, *text, std::to_string(*bytes), std::to_string(most)});
        return false;
    }
    if (!bytes || *bytes < 1) {
        error = Say(TextId::CliWantsSize, {name, std::to_string(most), *text});
        return false;
    }
    out = *bytes;
    return true;
}

bool ReadPreset(const Parsed& parsed, int64_t most, int64_t& out, std::string& error) {
    const std::string* text = parsed.Value("--preset");
    if (text == nullptr) return true;
    const SizePreset* preset = FindSizePreset(*text);
    if (preset == nullptr) {
        std::string names;
        for (const SizePreset& known : SizePresets())
            names.append(names.empty() ? "" : Say(TextId::ListSeparator)).append(known.name);
        error = Say(TextId::CliUnknownPreset, {*text, names});
        return false;
    }
    if (preset->bytes > most) {
        error = Say(TextId::CliPresetTooLarge,
                    {*text, std::to_string(preset->bytes), std::to_string(most)});
        return false;
    }
    out = preset->bytes;
    return true;
}

bool ReadBufferSize(const Parsed& parsed, uint32_t& out, std::string& error) {
    const std::string* text = parsed.Value("--buffer");
    if (text == nullptr) return true;
    int64_t bytes = 0;
    std::string notANumber;
    if (ReadNumber(parsed, "--buffer", 1, UINT32_MAX, bytes, notANumber) &&
        BufferSizeIndex(static_cast<uint32_t>(bytes)) >= 0) {
        out = static_cast<uint32_t>(bytes);
        return true;
    }
    std::string sizes;
    for (uint32_t size : kBufferSizes) {
        if (!sizes.empty()) sizes += ' ';
        sizes += std::to_string(size);
    }
    error = Say(TextId::CliWantsBufferSize, {sizes, *text});
    return false;
}

bool ReadName(const Parsed& parsed, std::string_view name, std::optional<std::string>& out,
              std::string& error) {
    const std::string* text = parsed.Value(name);
    if (text == nullptr) return true;
    if (!text->empty() && platform::IsReservedName(*text)) {
        error = Say(TextId::CliWantsUnreservedName, {name, platform::ReservedNameReason(), *text});
        return false;
    }
    if (!text->empty() && !platform::IsSafeFileName(*text)) {
        error = Say(TextId::CliWantsFileName, {name, *text});
        return false;
    }
    out = *text;
    return true;
}

std::string Synopsis() {
    return Say(TextId::CliSynopsis);
}

int UsageError(Context& ctx, std::string_view problem) {
    ctx.err << Say(TextId::CliUsageError, {problem, Synopsis()});
    return kExitUsage;
}

std::optional<int> OpenSetOfKind(const Parsed& parsed, Context& ctx, std::unique_ptr<Job>& job,
                                 KindOpened* kind) {
    const std::string* given = parsed.Value("--format");
    const FormatRow* format = given ? FormatOfCliName(*given) : &JoinFormats().front();
    std::string path = parsed.positionals[0];
    // Without --format the part's name and first bytes tell the kind.
    if (given == nullptr) {
        const workflow::FoundKind found = workflow::FindKind(path);
        if (found.formats.size() != 1) {
            workflow::SayNoSingleKind(found, workflow::Audience::CommandLine,
                                      platform::ShowAfter());
            return kExitFailed;
        }
        format = found.formats.front();
        path = found.detection.path;
        if (kind != nullptr) kind->reason = found.detection.reason;
    }
    if (format == nullptr) {
        std::string known;
        for (std::string_view name : CliFormatNames())
            known += (known.empty() ? "" : Say(TextId::ListSeparator)) + std::string(name);
        return UsageError(ctx, Say(TextId::CliUnknownKind, {*given, known}));
    }
    if (kind != nullptr) kind->name = format->cliName;
    std::unique_ptr<Job> opened = format->make();
    if (workflow::OpenChosenSet(*opened, path, platform::ShowAfter()) != workflow::Opening::Opened)
        return kExitFailed;
    job = std::move(opened);
    return std::nullopt;
}

JsonObject RunJson(std::string_view command, int status, const Job* job, bool ran) {
    std::string_view verdict = "done";
    if (status != kExitOk)
        verdict = !ran || job == nullptr         ? "refused"
                  : job->step == Step::Cancelled ? "cancelled"
                                                 : "failed";
    std::vector<std::string> left;
    if (job != nullptr)
        for (const std::string& path : job->leftBehind) left.push_back(JsonString(path));
    JsonObject json;
    json.Text("command", command).Number("status", status).Text("verdict", verdict);
    json.Json("leftBehind", JsonArray(left));
    return json;
}

std::string SplitJson(int status, const Job& job, bool ran, const SplitFacts& facts) {
    return RunJson("split", status, &job, ran)
        .Text("folder", job.choices.folder)
        .Text("name", job.choices.fileName)
        .Text("storedName", facts.storedName)
        .Number("size", facts.size)
        .Number("partSize", facts.partSize)
        .Number("parts", facts.parts)
        .Flag("digests", !facts.digest.empty())
        .Flag("plain", facts.plain)
        .Text("checksumFile", facts.checksumFile)
        .Text("digest", facts.digest)
        .Written();
}

JsonObject KindJson(const KindOpened& kind) {
    JsonObject json;
    json.Text("kind", kind.name);
    if (kind.reason.empty())
        json.Null("detectedBy");
    else
        json.Text("detectedBy", kind.reason);
    return json;
}

bool UseFolder(Job& job, const std::string& folder) {
    const std::string absolute = platform::AbsolutePath(platform::WithSeparator(folder));
    if (!platform::IsFolder(absolute)) {
        platform::ShowMessage(nullptr, Say(TextId::DestinationFolderMissing, {absolute}),
                              Say(TextId::TitleWrongDestination), platform::Icon::Warning);
        return false;
    }
    return workflow::UseFolder(job, absolute, platform::ShowAfter());
}

int RunJob(Job& job, bool join, Context& ctx) {
    return RunJob(
        job,
        [&] {
            workflow::Start(job, join ? workflow::Direction::Join : workflow::Direction::Split);
        },
        ctx);
}

int RunJob(Job& job, const std::function<void()>& start, Context& ctx) {
    // Ctrl-C, a kill or a closed terminal cancel the job at its next buffer,
    // which then takes back what it made. Made before any thread of the job.
    std::optional<platform::StopSignals> signals;
    signals.emplace([&job](int) { job.Cancel(); });
    std::optional<TerminalProgress> line;
    if (ctx.progress)
        job.display = &line.emplace(ctx.err, std::chrono::milliseconds(200), ctx.columns);
    start();
    job.WaitForWorker();
    job.display = &NullDisplay::Instance();
    line.reset();
    const int stoppedBy = signals->Caught();
    signals.reset();
    if (job.step == Step::Finished) return kExitOk;
    if (job.readerGone) return platform::BrokenPipeExitStatus();
    // A job that failed on its own before the stop reached it took nothing
    // back: its error said what it left, and a cancel line would lie.
    if (stoppedBy == 0 || job.step != Step::Cancelled) return kExitFailed;
    ctx.err << Say(TextId::CliCancelled);
    if (!job.leftBehind.empty()) {
        std::string files;
        for (size_t i = 0; i < job.leftBehind.size(); ++i)
            files += (i == 0 ? "" : Say(TextId::ListSeparator)) +
                     platform::VisibleText(job.leftBehind[i]);
        ctx.err << Say(job.leftBehind.size() == 1 ? TextId::CliCancelledLeftFile
                                                  : TextId::CliCancelledLeftFiles,
                       {files});
    } else
        ctx.err << Say(TextId::CliCancelledNothingLeft);
    ctx.err << '\n';
    return platform::StopSignals::ExitStatus(stoppedBy);
}

}  // namespace cli

#include "cli/Common.h"

#include <charconv>

#include "cli/TerminalProgress.h"

#include "core/Job.h"
#include "core/TextEncoding.h"
#include "formats/FormatTable.h"
#include "formats/Workflow.h"
#include "platform/Fs.h"
#include "platform/Reasons.h"
#include "platform/Signals.h"
#include "settings/SavedSettings.h"

namespace cli {

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
            parsed.error = "option inconnue : " + name;
        } else if (parsed.Has(name)) {
            parsed.error = "option donnée deux fois : " + name;
        } else if (!option->takesValue) {
            if (equals != std::string::npos)
                parsed.error = "l'option " + name + " ne prend pas de valeur";
            else
                parsed.options[name];
        } else if (equals != std::string::npos) {
            parsed.options[name] = arg.substr(equals + 1);
        } else if (i + 1 < args.size()) {
            parsed.options[name] = args[++i];
        } else {
            parsed.error = "valeur manquante après " + name;
        }
    }
    if (parsed.error.empty() && parsed.positionals.size() < positionals)
        parsed.error = "fichier manquant";
    else if (parsed.error.empty() && parsed.positionals.size() > positionals)
        parsed.error = "argument en trop : " + parsed.positionals[positionals];
    return parsed;
}

bool ReadNumber(const Parsed& parsed, std::string_view name, int64_t min, int64_t max, int64_t& out,
                std::string& error) {
    const std::string* text = parsed.Value(name);
    if (text == nullptr) return true;
    int64_t value = 0;
    auto [end, ec] = std::from_chars(text->data(), text->data() + text->size(), value);
    if (ec != std::errc() || end != text->data() + text->size() || value < min || value > max) {
        error = std::string(name) + " attend un nombre entier de " + std::to_string(min) + " à " +
                std::to_string(max) + " : " + *text;
        return false;
    }
    out = value;
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
    error = "--buffer attend l'une des tailles";
    for (uint32_t size : kBufferSizes) {
        error += ' ';
        error += std::to_string(size);
    }
    error += " : " + *text;
    return false;
}

bool ReadName(const Parsed& parsed, std::string_view name, std::optional<std::string>& out,
              std::string& error) {
    const std::string* text = parsed.Value(name);
    if (text == nullptr) return true;
    if (!text->empty() && !platform::IsSafeFileName(*text)) {
        error = std::string(name) +
                " attend un nom de fichier, sans dossier ni caractère de contrôle : " + *text;
        return false;
    }
    out = *text;
    return true;
}

std::string Synopsis() {
    return "Utilisation :\n"
           "  pcw split SOURCE [--size MO | --count N | --bytes N] [--md5] [--name NOM]\n"
           "            [--store-name NOM] [--folder DOSSIER] [--buffer OCTETS]\n"
           "  pcw join MORCEAU [--format TYPE] [--no-verify] [--name NOM]\n"
           "           [--folder DOSSIER] [--buffer OCTETS]\n"
           "  pcw info MORCEAU [--format TYPE]\n"
           "  pcw verify MORCEAU [--format TYPE] [--verbose]\n"
           "  pcw convert PREMIER_FICHIER_V10\n"
           "  pcw --help | --version\n";
}

int UsageError(Context& ctx, std::string_view problem) {
    ctx.err << "pcw: " << problem << "\n" << Synopsis() << "Voir « pcw --help ».\n";
    return kExitUsage;
}

std::optional<int> OpenSetOfKind(const Parsed& parsed, Context& ctx, std::unique_ptr<Job>& job,
                                 std::string* detected) {
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
        if (detected != nullptr)
            *detected = std::string(format->cliName) + " (" + found.detection.reason + ")";
    }
    if (format == nullptr) {
        std::string known;
        for (std::string_view name : CliFormatNames())
            known += std::string(known.empty() ? "" : ", ") + std::string(name);
        return UsageError(ctx, "type de jeu inconnu : " + *given + " (types : " + known + ")");
    }
    std::unique_ptr<Job> opened = format->make();
    if (workflow::OpenChosenSet(*opened, path, platform::ShowAfter()) != workflow::Opening::Opened)
        return kExitFailed;
    job = std::move(opened);
    return std::nullopt;
}

bool UseFolder(Job& job, const std::string& folder) {
    const std::string absolute = platform::AbsolutePath(platform::WithSeparator(folder));
    if (!platform::IsFolder(absolute)) {
        platform::ShowMessage(nullptr,
                              "Le dossier de destination n'existe pas :\n\r\n\r" + absolute,
                              "Destination incorrecte", platform::Icon::Warning);
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
    if (stoppedBy == 0) return kExitFailed;
    ctx.err << "Opération annulée";
    if (!job.leftBehind.empty()) {
        ctx.err << (job.leftBehind.size() == 1 ? " ; fichier laissé : " : " ; fichiers laissés : ");
        for (size_t i = 0; i < job.leftBehind.size(); ++i)
            ctx.err << (i == 0 ? "" : ", ") << platform::VisibleText(job.leftBehind[i]);
    } else
        ctx.err << " ; aucun fichier créé n'a été laissé.";
    ctx.err << '\n';
    return platform::StopSignals::ExitStatus(stoppedBy);
}

}  // namespace cli

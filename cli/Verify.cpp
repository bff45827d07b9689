#include <optional>
#include <string>

#include "cli/Commands.h"
#include "cli/TerminalProgress.h"
#include "core/Job.h"
#include "formats/SetCheck.h"
#include "platform/Messages.h"
#include "platform/Reasons.h"

namespace cli {

namespace {

// What is wrong with a part, after its number; empty for a good part.
std::string Problem(const PartCheck& part) {
    const std::string sizes = " (" + std::to_string(part.bytes) + " octets de données au lieu de " +
                              std::to_string(part.expected) + ")";
    switch (part.state) {
        case PartState::Good:
            return std::string();
        case PartState::Missing:
            return "absent";
        case PartState::Unreadable:
            return "illisible" + platform::ReasonLine(part.path, part.error);
        case PartState::Short:
            return "trop court" + sizes;
        case PartState::Long:
            return "trop long" + sizes;
        case PartState::Damaged:
            return "endommagé (son Hash MD5 ne correspond pas)";
        case PartState::Extra:
            return "en trop : il ne fait pas partie du jeu";
    }
    return std::string();
}

}  // namespace

int Verify(const Args& args, Context& ctx) {
    const Parsed parsed = ParseOptions(args, {{"--format", true}, {"--verbose", false}}, 1);
    if (!parsed.error.empty()) return UsageError(ctx, parsed.error);
    std::unique_ptr<Job> job;
    if (std::optional<int> status = OpenSetOfKind(parsed, ctx, job)) return *status;

    std::optional<TerminalProgress> line;
    if (ctx.progress) job->display = &line.emplace(ctx.err);
    const SetCheck check = CheckSet(*job);
    line.reset();
    job->display = &NullDisplay::Instance();

    const bool verbose = parsed.Has("--verbose");
    int bad = 0, count = 0;
    for (const PartCheck& part : check.parts) {
        if (part.state != PartState::Extra) ++count;
        const std::string problem = Problem(part);
        if (!problem.empty() && part.state != PartState::Extra) ++bad;
        if (problem.empty() && !verbose) continue;
        ctx.out << "Fichier n°" << part.number << " (" << platform::VisibleText(part.path)
                << ") : " << platform::VisibleMessage(problem.empty() ? "intact" : problem) << "\n";
    }
    if (check.Whole())
        ctx.out << "Le jeu est complet : " << count << " fichiers, tous "
                << (check.digestsChecked ? "intacts." : "présents et de la bonne taille.") << "\n";
    else
        ctx.out << "Le jeu est incomplet ou endommagé : " << bad << " fichier"
                << (bad > 1 ? "s" : "") << " sur " << count << " en cause.\n";
    if (!check.digestsChecked)
        ctx.out
            << "Ce jeu ne porte pas de Hash MD5 (ou ils n'ont pu être lus) : seules la présence "
               "et la taille des fichiers ont pu être vérifiées.\n";
    return check.Whole() ? kExitOk : kExitFailed;
}

}  // namespace cli

#include <algorithm>
#include <optional>
#include <string>

#include "cli/Commands.h"
#include "cli/TerminalProgress.h"
#include "core/Job.h"
#include "formats/SetCheck.h"
#include "platform/Messages.h"
#include "platform/Reasons.h"

namespace cli {

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
    for (const PartCheck& part : check.parts) {
        const std::string problem = PartProblem(part);
        if (problem.empty() && !verbose) continue;
        if (part.lastNumber > part.number)
            ctx.out << "Fichiers n°" << part.number << " à n°" << part.lastNumber << " ("
                    << platform::VisibleText(part.path) << "…) : ";
        else
            ctx.out << "Fichier n°" << part.number << " (" << platform::VisibleText(part.path)
                    << ") : ";
        ctx.out << platform::VisibleMessage(problem.empty() ? "intact" : problem) << "\n";
    }
    const int64_t count = check.CountedParts();
    const int64_t bad = check.FaultyParts();
    if (check.fault != SetFault::None)
        ctx.out << platform::VisibleMessage(SetFaultText(check)) << "\n";
    std::vector<std::string> notes = check.notes;
    if (check.mayContinue)
        notes.push_back(
            "Le dernier fichier a la taille des autres : d'autres fichiers ont pu le "
            "suivre, et le jeu n'est peut-être pas complet.");
    if (check.Whole() && notes.empty())
        ctx.out << "Le jeu est complet : " << count << " fichiers, tous "
                << (check.digestsChecked ? "intacts." : "présents et de la bonne taille.") << "\n";
    else if (check.Whole())
        ctx.out << "Le jeu semble complet : " << count << " fichiers, tous "
                << (check.digestsChecked ? "intacts"
                    : std::any_of(
                          check.parts.begin(), check.parts.end(),
                          [](const PartCheck& part) { return part.state == PartState::Uneven; })
                        ? "présents"
                        : "présents et de la bonne taille")
                << ", mais :\n";
    else if (check.fault == SetFault::None)
        ctx.out << "Le jeu est incomplet ou endommagé : " << bad << " fichier"
                << (bad > 1 ? "s" : "") << " sur " << count << " en cause.\n";
    else
        ctx.out << "Le jeu est incomplet ou endommagé.\n";
    for (const std::string& note : notes) ctx.out << "- " << platform::VisibleMessage(note) << "\n";
    if (!check.digestsChecked)
        ctx.out
            << "Ce jeu ne porte pas de Hash MD5 (ou ils n'ont pu être lus) : seules la présence "
               "et la taille des fichiers ont pu être vérifiées.\n";
    return check.Whole() ? kExitOk : kExitFailed;
}

}  // namespace cli

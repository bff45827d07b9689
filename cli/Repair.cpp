#include <string>

#include "cli/Commands.h"
#include "cli/Recovery.h"
#include "formats/recovery/RecoverySet.h"
#include "platform/Messages.h"
#include "texts/Texts.h"

namespace cli {

using texts::Say;
using texts::TextId;

int Repair(const Args& args, Context& ctx) {
    const Parsed parsed = ParseOptions(args, {{"--verbose", false}}, 1);
    if (!parsed.error.empty()) return UsageError(ctx, parsed.error);
    const std::string& part = parsed.positionals[0];
    const recovery::Protection protection = recovery::ExamineProtection(part);
    ctx.out << recovery::DescribeProtection(protection, parsed.Has("--verbose"));
    if (!protection.header) {
        platform::ShowMessage(nullptr, Say(TextId::RecoveryNotFound, {platform::VisibleText(part)}),
                              Say(TextId::TitleError), platform::Icon::Error);
        return kExitFailed;
    }
    if (protection.plan.Whole()) {
        ctx.out << Say(TextId::RepairNothingToDo);
        return kExitOk;
    }
    if (!protection.plan.Repairable()) return kExitFailed;
    recovery::RepairReport report;
    const std::optional<recovery::Failure> failed = recovery::RepairSet(protection, report);
    for (const auto& [path, aside] : report.keptAside)
        ctx.out << Say(TextId::RepairKeptAsideLine,
                       {platform::VisibleText(path), platform::VisibleText(aside)});
    for (const std::string& path : report.rebuilt)
        ctx.out << Say(TextId::RepairRebuiltLine, {platform::VisibleText(path)});
    if (failed) {
        platform::ShowMessage(nullptr, failed->text, Say(TextId::TitleError),
                              platform::Icon::Error);
        return kExitFailed;
    }
    return kExitOk;
}

}  // namespace cli

#include "cli/Recovery.h"

#include "formats/recovery/RecoverySet.h"
#include "platform/Messages.h"
#include "texts/Texts.h"

namespace cli {

using texts::Say;
using texts::TextId;

bool ReadRecoveryCount(const Parsed& parsed, int64_t parts, int& count, std::string& error) {
    count = 0;
    if (!parsed.Has("--recovery")) return true;
    int64_t value = 0;
    const int64_t most = recovery::kMostRecoveryParts;
    if (!ReadNumber(parsed, "--recovery", 1, most, value, error)) return false;
    if (parts > 0 && value > parts) {
        error = Say(TextId::CliRecoveryCount, {std::to_string(most)});
        return false;
    }
    count = static_cast<int>(value);
    return true;
}

int WriteRecoveryParts(const std::vector<std::string>& parts, const std::string& stemPath,
                       int count, Context& ctx) {
    std::vector<std::string> written;
    if (const std::optional<recovery::Failure> failed =
            recovery::ProtectParts(parts, stemPath, count, &written)) {
        platform::ShowMessage(nullptr, failed->text, Say(TextId::TitleError),
                              platform::Icon::Error);
        return kExitFailed;
    }
    for (const std::string& path : written)
        ctx.out << Say(TextId::ProtectWrittenLine, {platform::VisibleText(path)});
    return kExitOk;
}

int VerifyStatus(bool setWhole, const recovery::Protection& protection) {
    if (!protection.header) return setWhole ? kExitOk : kExitFailed;
    const recovery::RepairPlan& plan = protection.plan;
    if (plan.Whole()) return setWhole ? kExitOk : kExitFailed;
    return plan.Repairable() ? kExitRepairable : kExitFailed;
}

}  // namespace cli

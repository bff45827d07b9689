#include "cli/Recovery.h"

#include "core/Job.h"
#include "formats/native/NativeSet.h"
#include "formats/recovery/RecoverySet.h"
#include "formats/recovery/RecoverySteps.h"
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

namespace {

void SayWritten(const std::vector<std::string>& written, bool say, Context& ctx) {
    for (const std::string& path : written)
        if (say) ctx.out << Say(TextId::ProtectWrittenLine, {platform::VisibleText(path)});
}

}  // namespace

int WriteRecoveryParts(const std::vector<std::string>& parts, const std::string& stemPath,
                       int count, Context& ctx, const std::vector<std::optional<Digest>>& known,
                       bool say) {
    std::vector<std::string> written;
    if (!workflow::WriteRecoveryParts(parts, stemPath, count, known, written,
                                      platform::ShowAfter()))
        return kExitFailed;
    SayWritten(written, say, ctx);
    return kExitOk;
}

int RunSplitProtected(NativeSet& job, int count, bool say, Context& ctx) {
    std::vector<std::string> written;
    if (count > 0) workflow::AddRecoveryStep(job, count, false, &written);
    const int status = RunJob(job, false, ctx);
    if (status == kExitOk) SayWritten(written, say, ctx);
    return status;
}

int JoinRepairing(Job& job, const recovery::Protection& protection, const std::string& name,
                  bool say, Context& ctx) {
    workflow::JoinRepairingOnWorker(job, protection, name);
    const int status = RunJob(job, true, ctx);
    if (status == kExitOk && say)
        for (const std::string& line : workflow::RebuiltLines(protection)) ctx.out << line;
    return status;
}

int VerifyStatus(bool setWhole, const recovery::Protection& protection) {
    if (!protection.header) return setWhole ? kExitOk : kExitFailed;
    const recovery::RepairPlan& plan = protection.plan;
    if (plan.Whole()) return setWhole ? kExitOk : kExitFailed;
    return plan.Repairable() ? kExitRepairable : kExitFailed;
}

}  // namespace cli

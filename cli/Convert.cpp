#include <string>

#include "cli/Commands.h"
#include "formats/Workflow.h"
#include "formats/native/LegacySet.h"

namespace cli {

int Convert(const Args& args, Context& ctx) {
    const Parsed parsed = ParseOptions(args, {}, 1);
    if (!parsed.error.empty()) return UsageError(ctx, parsed.error);
    LegacySet job;
    if (!workflow::OpenLegacySet(job, parsed.positionals[0], platform::ShowAfter()))
        return kExitFailed;
    return RunJob(
        job, [&] { job.StartConvert(); }, ctx);
}

}  // namespace cli

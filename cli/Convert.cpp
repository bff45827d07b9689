#include <string>

#include "cli/Commands.h"
#include "formats/native/UzelParcelwise10.h"
#include "platform/Fs.h"

namespace cli {

bool OpenLegacyFirstPart(TzelParcelwise10& job, const std::string& path) {
    if (!Openable(path)) return false;
    job.sourcePath = platform::AbsolutePath(path);
    job.sourceSize = platform::FileSize(job.sourcePath);
    job.opened = true;
    if (job.OpenSet()) return true;
    // What is no 1.0 set at all is said as the program's general error report says it.
    if (!job.openError.empty())
        platform::MessageBoxA(nullptr, job.openError + ".", kVersion, platform::kIconError);
    job.opened = false;
    return false;
}

int Convert(const Args& args, Context& ctx) {
    const Parsed parsed = ParseOptions(args, {}, 1);
    if (!parsed.error.empty()) return UsageError(ctx, parsed.error);
    TzelParcelwise10 job;
    if (!OpenLegacyFirstPart(job, parsed.positionals[0])) return kExitFailed;
    return RunJob(
        job, [&] { job.StartConvert(); }, ctx);
}

}  // namespace cli

// A native set as a hostile sender may shape it: the first part's header, the
// digest block of the last part and the parts' sizes. Whatever they hold, the
// open and the join end cleanly, a header that the open accepts names a plain
// file, and a join that says it succeeded wrote exactly the announced size.
#include <cstdint>
#include <cstring>

#include "formats/native/UzelParcelwise.h"
#include "fuzz/FuzzFiles.h"
#include "platform/Fs.h"

using namespace fuzzing;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Scratch scratch;
    static bool silenced = (SilenceMessages(), true);
    (void)silenced;
    scratch.Reset();

    // The header alone, as every reader of a first part decodes it.
    if (size >= kHeaderSize) {
        const TzelHeader header = DecodeHeader(data);
        if (IsValidHeader(header)) {
            const auto again = EncodeHeader(header);
            Expect(IsValidHeader(DecodeHeader(again.data())),
                   "a valid header encodes to an invalid one");
        }
        (void)HasLegacyMark(data, size);
    }

    const std::string chosen = WriteFiles(scratch.set(), data, size);
    if (chosen.empty()) return 0;
    const Tree before = Snapshot(scratch.root());

    TzelParcelwise job;
    job.sourcePath = chosen;
    job.sourceSize = platform::FileSize(chosen);
    job.opened = true;
    if (!job.OpenSet()) {
        job.ResetSet();
        return 0;
    }
    Expect(platform::IsSafeFileName(job.header.originalName),
           "the stored name is no plain file name");
    Expect(job.header.partCount >= 2 && job.header.partCount <= job.header.originalSize,
           "the open accepted an impossible part count");

    const int64_t announced = job.header.originalSize;
    std::string output;
    const Step end = RunJoin(job, job.settings.fileName, scratch.root(), output);
    const Tree after = Snapshot(scratch.root());
    ExpectJoinLeftInputs(before, after, output, end);
    if (end == Step::Finished)
        Expect(static_cast<int64_t>(after.at(output).size()) == announced,
               "a finished join wrote another size than the header's");
    return 0;
}

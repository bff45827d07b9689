// A native set as a hostile sender may shape it: the first part's header, the
// digest block of the last part and the parts' sizes. Whatever they hold, the
// open and the join end cleanly, a header that the open accepts names a plain
// file, and a join that says it succeeded wrote exactly the announced size.
#include <cstdint>
#include <cstring>

#include "formats/Workflow.h"
#include "formats/native/NativeSet.h"
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
        const NativeHeader header =
            DecodeHeader(std::span<const uint8_t, kHeaderSize>(data, kHeaderSize));
        if (IsValidHeader(header)) {
            const auto again = EncodeHeader(header);
            Expect(IsValidHeader(DecodeHeader(again)), "a valid header encodes to an invalid one");
        }
        (void)HasLegacyMark(data, size);
    }

    const std::string chosen = WriteFiles(scratch.set(), data, size);
    if (chosen.empty()) return 0;
    const Tree before = Snapshot(scratch.root());

    NativeSet job;
    if (!workflow::OpenSetAt(job, chosen, platform::ShowAfter())) return 0;
    Expect(platform::IsSafeFileName(job.header.originalName),
           "the stored name is no plain file name");
    Expect(job.header.partCount >= 2 && job.header.partCount <= job.header.originalSize,
           "the open accepted an impossible part count");

    const int64_t announced = job.header.originalSize;
    // What a whole join writes: the parts in order, less the header and the digests.
    std::string expected;
    for (int32_t k = 1; k <= job.header.partCount && expected.size() < (1u << 20); ++k) {
        // A missing part fails the join: there is nothing more to expect.
        const std::string path = job.PartPath(k);
        if (!platform::FileExists(path)) break;
        const std::string part = ReadWhole(path);
        size_t end = part.size();
        if (k == job.header.partCount && job.header.hasDigests == 1)
            end -= std::min(end, kDigestTextSize * job.header.partCount);
        const size_t start = std::min(end, k == 1 ? kHeaderSize : 0);
        expected.append(part.data() + start, end - start);
    }
    std::string output;
    const Step end = RunJoin(job, job.choices.fileName, scratch.root(), output);
    const Tree after = Snapshot(scratch.root());
    ExpectJoinLeftInputs(before, after, output, end, job);
    if (end == Step::Finished)
        Expect(static_cast<int64_t>(after.at(output).size()) == announced &&
                   after.at(output) == expected,
               "a finished join wrote other bytes than the set holds");
    return 0;
}

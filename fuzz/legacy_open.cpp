// A 1.0 first part as a hostile sender may shape it: its lead and description
// blocks, the offsets between them and the digests. The open and the
// conversion end cleanly; a conversion that says it succeeded kept the old
// first part whole and wrote a readable 1.1 first part of exactly the data
// the blocks describe; one that failed left the first part where it was.
#include <cstdint>

#include "formats/Workflow.h"
#include "formats/native/LegacySet.h"
#include "formats/native/NativeSet.h"
#include "fuzz/FuzzFiles.h"
#include "platform/Fs.h"

using namespace fuzzing;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Scratch scratch;
    static bool silenced = (SilenceMessages(), true);
    (void)silenced;
    scratch.Reset();

    const std::string chosen = WriteFiles(scratch.set(), data, size);
    if (chosen.empty()) return 0;
    const Tree before = Snapshot(scratch.root());
    const std::string name = chosen.substr(scratch.root().size());

    LegacySet job;
    if (!workflow::OpenLegacySet(job, chosen, platform::ShowAfter())) return 0;
    Expect(platform::IsSafeFileName(job.choices.fileName), "the stored name is no plain file name");
    const LegacyLeadBlock lead = job.lead;
    const LegacyDescriptionBlock description = job.description;

    job.StartConvert();
    job.WaitForWorker();
    const Tree after = Snapshot(scratch.root());
    for (const auto& [path, bytes] : before) {
        if (path == name) continue;
        Expect(after.count(path) && after.at(path) == bytes, "the conversion touched " + path);
    }
    if (job.step != Step::Finished) {
        Expect(after.count(name) && after.at(name) == before.at(name),
               "a failed conversion did not leave the first part as it was");
        return 0;
    }
    const std::string& old = before.at(name);
    Expect(after.count(name + ".ancien") && after.at(name + ".ancien") == old,
           "the old first part was not kept whole");
    const std::string& converted = after.at(name);
    Expect(converted.size() >= kHeaderSize, "the converted first part has no header");
    const NativeHeader header = DecodeHeader(std::span<const uint8_t, kHeaderSize>(
        reinterpret_cast<const uint8_t*>(converted.data()), kHeaderSize));
    Expect(IsValidHeader(header) && header.partCount == description.partCount &&
               header.originalSize == lead.originalSize,
           "the converted header does not describe the set");
    const size_t digestBytes =
        description.digestFlag == 1 ? kDigestTextSize * description.partCount : 0;
    const size_t resume = kLeadSize + kDescriptionSize + lead.descriptionOffset + digestBytes;
    const std::string expected =
        old.substr(kLeadSize, lead.descriptionOffset) +
        old.substr(resume, static_cast<size_t>(lead.payloadLength - lead.descriptionOffset));
    Expect(converted.substr(kHeaderSize) == expected, "the converted data is not the set's data");
    return 0;
}

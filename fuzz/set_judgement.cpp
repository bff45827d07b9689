// The judgement of a set against its join: file names and contents in a
// scratch folder, opened as every kind of the format table. Whatever they
// hold, a join that succeeds was preceded by a verify that called the set
// whole, and wrote exactly the data of the parts that verify counted.
#include <string>

#include "formats/FormatTable.h"
#include "formats/SetCheck.h"
#include "formats/Workflow.h"
#include "fuzz/FuzzFiles.h"

using namespace fuzzing;

namespace {

// What the parts that a whole set counts hold, headers left out.
std::string DataOfParts(const SetCheck& check, const FormatRow& row) {
    std::string data;
    int32_t first = -1;
    for (const PartCheck& part : check.parts) {
        if (part.state != PartState::Good && part.state != PartState::Uneven) continue;
        if (first < 0) first = part.number;
        const std::string bytes = ReadWhole(part.path);
        const int64_t offset = part.number == first ? row.offsets.first : row.offsets.later;
        Expect(offset >= 0 && part.bytes >= 0 &&
                   static_cast<size_t>(offset + part.bytes) <= bytes.size(),
               "verify counted more data than part " + std::to_string(part.number) + " holds");
        data.append(bytes, static_cast<size_t>(offset), static_cast<size_t>(part.bytes));
    }
    return data;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Scratch scratch;
    static bool silenced = (SilenceMessages(), true);
    (void)silenced;
    for (const FormatRow& row : JoinFormats()) {
        if (row.cliName.empty()) continue;
        scratch.Reset();
        const std::string chosen = WriteFiles(scratch.set(), data, size);
        if (chosen.empty()) return 0;
        std::unique_ptr<Job> job = row.make();
        if (!workflow::OpenSetAt(*job, chosen, platform::ShowAfter())) continue;
        const SetCheck verified = CheckSet(*job);
        const std::string expected = verified.Whole() ? DataOfParts(verified, row) : std::string();
        const Tree before = Snapshot(scratch.root());
        std::string output;
        const Step end = RunJoin(*job, job->choices.fileName, scratch.root(), output);
        const Tree after = Snapshot(scratch.root());
        ExpectJoinLeftInputs(before, after, output, end, *job);
        if (end != Step::Finished) continue;
        Expect(verified.Whole(), std::string(row.cliName) +
                                     ": the join succeeded over a set that verify called damaged");
        Expect(after.at(output) == expected,
               std::string(row.cliName) + ": the join wrote other bytes than verify counted");
    }
    return 0;
}

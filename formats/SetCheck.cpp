#include "formats/SetCheck.h"

#include <algorithm>
#include <cerrno>

#include "formats/foreign/ForeignSet.h"
#include "formats/native/NativeSet.h"
#include "formats/native/PartHasher.h"
#include "platform/File.h"
#include "platform/Fs.h"

namespace {

// Measures part `number` at `path`; its data are its size less `overhead`.
PartCheck Measure(int32_t number, const std::string& path, int64_t overhead) {
    PartCheck part{number, path};
    platform::File file = platform::File::OpenRead(path, platform::Share::Read);
    if (!file.IsOpen()) {
        part.state = platform::FileExists(path) ? PartState::Unreadable : PartState::Missing;
        part.error = file.OpenError();
        return part;
    }
    part.bytes = file.Size() - overhead;
    return part;
}

// The data every part but the last holds: what most of them hold, so that
// one damaged part does not make all the others look wrong.
int64_t UsualPartBytes(const std::vector<PartCheck>& parts) {
    std::vector<int64_t> sizes;
    for (size_t i = 0; i + 1 < parts.size(); ++i)
        if (parts[i].state == PartState::Good) sizes.push_back(parts[i].bytes);
    if (sizes.empty()) return -1;
    std::nth_element(sizes.begin(), sizes.begin() + static_cast<long>(sizes.size() / 2),
                     sizes.end());
    return sizes[sizes.size() / 2];
}

void Judge(PartCheck& part, int64_t expected, bool atMost = false) {
    part.expected = expected;
    if (part.state != PartState::Good || expected < 0) return;
    if (part.bytes < 0 || (!atMost && part.bytes < expected)) part.state = PartState::Short;
    if (part.bytes > expected) part.state = PartState::Long;
}

void CheckNative(NativeSet& job, SetCheck& check) {
    const int32_t count = job.header.partCount;
    for (int32_t i = 1; i <= count; ++i) {
        // What a part holds besides data: the header, the digests.
        const int64_t overhead = -job.DataBytesOf(i, 0);
        check.parts.push_back(Measure(i, job.PartPath(i), overhead));
    }
    // Every part but the last holds as much as the others; the last the rest.
    const int64_t usual = UsualPartBytes(check.parts);
    for (int32_t i = 1; i < count; ++i) Judge(check.parts[static_cast<size_t>(i - 1)], usual);
    if (usual >= 0) Judge(check.parts.back(), job.header.originalSize - usual * (count - 1));
    if (job.PartPath(count + 1) != job.PartPath(count) &&
        platform::FileExists(job.PartPath(count + 1)))
        check.parts.push_back({count + 1, job.PartPath(count + 1), PartState::Extra, 0, -1, 0});

    // Without the last part whole, its digests cannot be read.
    if (job.header.hasDigests != 1 ||
        check.parts[static_cast<size_t>(count - 1)].state != PartState::Good)
        return;
    check.digestsChecked = true;
    std::vector<PartToHash> batch;
    std::vector<size_t> hashed;
    for (int32_t i = 1; i <= count; ++i) {
        PartCheck& part = check.parts[static_cast<size_t>(i - 1)];
        if (part.state != PartState::Good) continue;
        // A digest covers the whole part but the digests themselves.
        const int64_t header = i == 1 ? static_cast<int64_t>(kHeaderSize) : 0;
        batch.push_back({nullptr, part.path, 0, part.bytes + header});
        hashed.push_back(static_cast<size_t>(i - 1));
    }
    if (batch.empty()) return;
    job.step = Step::CheckingDigests;
    const PartHashResult result = job.HashBatch(batch, 1, true);
    for (size_t k = 0; k < hashed.size(); ++k) {
        PartCheck& part = check.parts[hashed[k]];
        if (!result.digests[k]) {
            part.state = PartState::Unreadable;
            part.error = result.errors[k];
        } else if (DigestToHex(*result.digests[k]) != job.StoredDigest(part.number)) {
            part.state = PartState::Damaged;
        }
    }
}

void CheckForeign(ForeignSet& job, SetCheck& check) {
    for (int32_t n = job.FirstNumber(); n <= job.LastNumber(); ++n)
        check.parts.push_back(Measure(n, job.PartName(n), job.DataOffsetOf(n)));
    if (check.parts.empty()) return;
    // Parts are cut to one size; the last holds what is left, never more.
    const int64_t usual = UsualPartBytes(check.parts);
    for (size_t i = 0; i + 1 < check.parts.size(); ++i) Judge(check.parts[i], usual);
    Judge(check.parts.back(), usual, true);
}

}  // namespace

bool SetCheck::Whole() const {
    return std::all_of(parts.begin(), parts.end(), [](const PartCheck& part) {
        return part.state == PartState::Good || part.state == PartState::Extra;
    });
}

SetCheck CheckSet(Job& job) {
    SetCheck check;
    if (auto* native = dynamic_cast<NativeSet*>(&job))
        CheckNative(*native, check);
    else if (auto* foreign = dynamic_cast<ForeignSet*>(&job))
        CheckForeign(*foreign, check);
    return check;
}

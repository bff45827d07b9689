// The native part set: its part names, the splitter that writes it and the
// joiner that reads it back, with the digests of its parts. The 104-byte header
// of its first part and the header's codec are in NativeHeader.h.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/Job.h"
#include "core/JoinOutput.h"
#include "core/ProgressWriter.h"
#include "formats/native/NativeHeader.h"
#include "formats/native/PartHasher.h"

inline constexpr size_t kDigestTextSize = 32;
inline constexpr size_t kDestNameRoom = 255;

// True when the file's name ends with ".001.pcw", as a set's first part does,
// in any case: sets come back upper-cased from some file systems.
bool IsFirstPartName(const std::string& path);

// base + "." + the number on three digits or more + ".pcw".
std::string NativePartName(const std::string& base, int64_t number);
// Part `number` of the set whose first part is `firstPart`: its path less the
// ".001.pcw", the number, then ".pcw" in the case of the first part's name.
std::string NativeSetPart(const std::string& firstPart, int64_t number);

class NativeSet final : public Job {
public:
    NativeSet();

    std::vector<std::string> digests;
    NativeHeader header;

    // Split side: checks the user's choices and reports every problem at once.
    bool CheckSplitParameters(const std::string& sourceName, const std::string& destName,
                              bool withDigests, int32_t partSize, Messages& said);
    void StartSplit() override;

    // Join side: reads and checks the first part, then the destination.
    bool OpenSet(Messages& said) override;
    // The same from the first part's header as given, for a set whose first
    // part is lost and rebuilt elsewhere; the digests stored in the last part
    // are read only with `readStoredDigests`.
    bool OpenFromHeader(const std::array<uint8_t, kHeaderSize>& bytes, Messages& said,
                        bool readStoredDigests);
    bool CheckJoinParameters(const std::string& destName, bool verifyHash, Messages& said) override;
    void StartJoin() override;

    // Forgets the opened set (after a refused open).
    void ResetSet() override;

    void ShowProgress() override;
    void EndOfWork() override;

    // Size of the file that a join of the opened set writes.
    int64_t RebuiltSize() const override { return header.originalSize; }

    // Part `number` of the opened set.
    std::string PartPath(int32_t number) const { return NativeSetPart(sourcePath, number); }
    // Bytes of original data that part `number` holds, given its size on disk.
    int64_t DataBytesOf(int32_t number, int64_t fileSize) const;

    // Hashes a batch of parts numbered from `first` on every core, showing the
    // lowest part in work, pauses and cancels honoured; with `everyPart`, past
    // a failed part too.
    PartHashResult HashBatch(const std::vector<PartToHash>& batch, int32_t first,
                             bool everyPart = false);
    // The digest stored for part `number`; empty when it cannot be read.
    std::string StoredDigest(int32_t number) const;

private:
    // Above this many parts the digests are not all read at once.
    static constexpr int32_t kDigestsReadAtOpen = 65536;
    void SplitThread();
    // The split's steps: every part, then the header, then the digests. Every
    // part created is recorded in `made`, for a cancel to take them back.
    StepResult WriteSet(std::vector<platform::FileIdentity>& made);
    StepResult WriteDigests(platform::File& first, platform::File& last,
                            const std::vector<platform::FileIdentity>& made);
    StepResult EndOfStream();
    StepResult PartWriteFailure(int32_t number, int error) const;
    StepResult MissingPart(int32_t number) const;
    StepResult HashFailure(int32_t number, int error) const;
    static unsigned HashWorkers();

    void JoinThread();
    // The join's steps: open and measure every part, check their digests,
    // check the sizes add up, then copy into a new output.
    StepResult JoinSteps(std::optional<JoinOutput>& output);
    StepResult MeasureParts(std::vector<CheckedPart>& parts, std::vector<JoinPart>& copies);
    StepResult VerifyParts(std::vector<CheckedPart>& parts, const std::vector<JoinPart>& copies);
    // The digests stored for parts `from` to `to`, read through the last
    // part's handle (opened for the time of the read when it was released);
    // empty when they cannot be read.
    std::vector<std::string> StoredDigests(CheckedPart& last, int32_t from, int32_t to,
                                           int64_t held) const;
    StepResult CheckSizes(const std::vector<JoinPart>& copies) const;
    static int64_t DataBytes(const std::vector<JoinPart>& copies);
    bool DigestsMissing(const std::vector<JoinPart>& copies) const;

    ProgressWriter writer_;
    int64_t partsToMake_ = 0;
    // The name the split was asked to store, when the header could only store
    // a simplified form of it (characters outside Windows-1252); empty otherwise.
    std::string nameAsked_;
    // Last: the worker uses everything above.
    Worker worker_{*this};
};

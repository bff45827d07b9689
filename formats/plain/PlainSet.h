// The plain set: the data alone, cut into NAME.001, NAME.002, … that `cat`,
// `copy /b` and archivers rebuild without this program, with on request a
// checksum file (NAME.md5 or NAME.sha256) that md5sum -c and sha256sum -c read:
// a line for every part, then one for the whole file. Its parts may be as
// large as the destination's file system lets a file be. A plain set is
// joined, as any numbered set, by NumberedSet.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/Job.h"
#include "core/ProgressWriter.h"
#include "platform/File.h"
#include "texts/Texts.h"

// Three digits, as archivers and most splitters number: a set of more parts
// would be rebuilt out of order by a glob such as NAME.[0-9][0-9][0-9].
inline constexpr int64_t kMostPlainParts = 999;

enum class PlainDigest { None, Md5, Sha256 };

// base + "." + the number on three digits.
std::string PlainPartName(const std::string& base, int64_t number);
// base + ".md5" or ".sha256"; base itself for no digest.
std::string ChecksumFileName(const std::string& base, PlainDigest digest);
// One line of a checksum file as md5sum and sha256sum write it: the digest in
// lower-case hexadecimal, two blanks, the name. A name holding a backslash or
// a line feed is escaped, and its line starts with a backslash.
std::string ChecksumLine(const std::string& hexDigest, const std::string& name);
// Lower-case hexadecimal of `bytes`.
std::string LowerHex(const uint8_t* bytes, size_t count);

class PlainSet final : public Job {
public:
    PlainSet();

    PlainDigest digest = PlainDigest::None;
    // Bytes per part: more than a native set's 31 bits allow.
    int64_t plainPartSize = 0;
    int32_t partCount = 0;
    // Also write NAME.join.sh and NAME.join.cmd (formats/plain/JoinScripts.h);
    // only with a digest, which they check.
    bool withScripts = false;

    // Checks the choices before anything is written, every problem in one
    // message: the name, the part size against the source and against the
    // largest file of the destination's file system, the parts' count, and
    // the names that the set would take.
    bool CheckSplitParameters(const std::string& destName, int64_t partSize, PlainDigest kind,
                              Messages& said);
    void StartSplit() override;
    void ShowProgress() override;
    void EndOfWork() override;

    int64_t PartsToMake() const;
    std::string PartPath(int64_t number) const;
    std::string ChecksumPath() const;

private:
    void SplitThread();
    // Every part created is recorded in `made`, for a failure or a cancel to
    // take it back: a plain set carries nothing that would tell a reader it
    // is incomplete.
    StepResult WriteParts(std::vector<platform::FileIdentity>& made);
    // The checksum file, then the scripts when asked; each file written goes
    // to `written`, for a failure or a cancel to take it back.
    StepResult WriteChecksums(const std::vector<platform::FileIdentity>& made,
                              std::vector<std::pair<std::string, platform::FileIdentity>>& written);
    StepResult WriteNewFile(const std::string& path, const std::string& text, texts::TextId failure,
                            std::vector<std::pair<std::string, platform::FileIdentity>>& written);
    // The digests of every part and, last, of the whole source, in
    // lower-case hexadecimal; hashed on every core.
    StepResult HashSet(const std::vector<platform::FileIdentity>& made,
                       std::vector<std::string>& hexDigests);

    ProgressWriter writer_;
    // Last: the worker uses everything above.
    Worker worker_{*this};
};

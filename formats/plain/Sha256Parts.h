// SHA-256 of several files or ranges at once, one worker per core, with the
// parts, options and workers' count of the MD5 part hasher (PartHasher.h):
// every part is hashed whole by one worker, in the order they are handed out.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "formats/native/PartHasher.h"
#include "formats/plain/PlainSet.h"
#include "platform/Sha256.h"

struct Sha256PartsResult {
    std::vector<std::optional<platform::Sha256Digest>> digests;
    // The errno of each part that failed, 0 for the others.
    std::vector<int> errors;
    // The lowest part that failed and its errno, -1 when none did.
    int failedPart = -1;
    int error = 0;
    bool cancelled = false;
    bool ok() const { return failedPart < 0 && !cancelled; }
};

// Parts given by their path only (PartToHash::file is not used). A part that
// cannot be opened or read fails with the system's errno, one that ends before
// its bytes with ESTALE, a hash the library could not start with ENOMEM. The
// options' progress is not called; everyPart, partDone, pause and cancelled are.
Sha256PartsResult HashPartsSha256(const std::vector<PartToHash>& parts,
                                  const PartHashOptions& options);

struct HexDigests {
    // Lower-case hexadecimal, by part; empty for a part not hashed.
    std::vector<std::string> hex;
    // As in Sha256PartsResult.
    std::vector<int> errors;
    int failedPart = -1;
    int error = 0;
};

// The digests of `kind` of every part, by HashParts for MD5 and
// HashPartsSha256 for SHA-256, with their options.
HexDigests HashPartsHex(const std::vector<PartToHash>& parts, PlainDigest kind,
                        const PartHashOptions& options);

struct SequenceDigest {
    // Lower-case hexadecimal; empty when the parts were not all read.
    std::string hex;
    // The part that failed and its errno (as HashPartsSha256 says them), -1
    // when none did.
    int failedPart = -1;
    int error = 0;
};

// The digest of `kind` of the parts read one after the other, as `cat` gives
// them: that of the file a join rebuilds from them. One thread reads them in
// order; the options' pause and cancelled are honoured, progress is called
// after every buffer and partDone as each part ends.
SequenceDigest HashInSequence(const std::vector<PartToHash>& parts, PlainDigest kind,
                              const PartHashOptions& options);

// Sets of the 1.0 format: reading what their first part describes, and
// converting the set to the current format by rewriting that first part only.
//
// A 1.0 first part is a 36-byte lead block, the first D bytes of the part's
// data, a 136-byte description block, the digests of the set (when its flag is
// 1), then the remaining P - D data bytes. The conversion writes a 1.1 header
// followed by the P data bytes in order, keeps the old first part beside it
// under the ".pcw.ancien" ending, and never touches the other parts.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/Job.h"
#include "platform/File.h"

inline constexpr size_t kLeadSize = 36;
inline constexpr size_t kDescriptionSize = 136;
inline constexpr size_t kLegacyNameRoom = 100;

// The lead block, decoded. The sizes are 32-bit on disk.
struct LegacyLeadBlock {
    int32_t originalSize = 0;
    int32_t payloadLength = 0;      // P: data bytes that the first part carries
    int32_t descriptionOffset = 0;  // D: data bytes before the description block
};

// The description block, decoded.
struct LegacyDescriptionBlock {
    std::string originalName;  // UTF-8, as stored: up to 100 characters
    int32_t partCount = 0;
    double splitDate = 0;    // local date and time of the split
    int32_t digestFlag = 0;  // 1 when the digests follow the block
};

LegacyLeadBlock DecodeLead(std::span<const uint8_t, kLeadSize> bytes);
LegacyDescriptionBlock DecodeDescription(std::span<const uint8_t, kDescriptionSize> bytes);
// True when the description block starts with its signature.
bool HasDescriptionSignature(std::span<const uint8_t, kDescriptionSize> bytes);

// A failure of the conversion worker, with its own message.

class LegacySet final : public Job {
public:
    LegacySet() { formatKind = FormatKind::Legacy; }

    std::vector<std::string> digests;
    LegacyLeadBlock lead;
    LegacyDescriptionBlock description;
    // Why OpenSet refused a file that is no 1.0 set at all: the caller shows it
    // (the windows through the error report, the command line on stderr). Empty
    // when OpenSet has shown its own message or succeeded.
    std::string openError;

    // Reads and checks the blocks of `sourcePath`. False when the file is not a
    // usable 1.0 first part; every refusal but an unknown format shows its message.
    bool OpenSet(Messages& said) override;
    // Runs the conversion of the opened set on its worker.
    void StartConvert();

    void ShowProgress() override;
    void EndOfWork() override;

private:
    void ConvertThread();
    // Writes the 1.1 first part into `converted`; the buffer and both files are
    // let go before it returns, so that no message is shown while they are held.
    // Writes the converted first part; `made` receives the identity of the
    // file it created, so that a cancel removes that file and no other.
    std::optional<Message> WriteConverted(const std::string& first, const std::string& converted,
                                          std::optional<platform::FileIdentity>& made);

    // The path that OpenSet accepted: the worker converts nothing else.
    std::string readPath_;
    // Last: the worker uses everything above.
    Worker worker_{*this};
};

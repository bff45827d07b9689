#include "formats/recovery/RecoverySet.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <map>
#include <memory>

#include "formats/native/PartHasher.h"
#include "formats/recovery/RegionCoder.h"
#include "platform/Errors.h"
#include "platform/File.h"
#include "platform/Fs.h"
#include "platform/Messages.h"
#include "platform/Paths.h"
#include "platform/Reasons.h"
#include "texts/Texts.h"

namespace recovery {

using texts::Say;
using texts::TextId;

namespace {

constexpr char kRecoveryEnding[] = ".pcw";
// What the stripes of every shard read or written may take together.
constexpr size_t kStripeBudget = 48u << 20;
constexpr size_t kLargestStripe = 4u << 20;
constexpr size_t kSmallestStripe = 4096;

size_t StripeBytes(size_t shards) {
    size_t bytes =
        std::clamp(kStripeBudget / std::max<size_t>(shards, 1), kSmallestStripe, kLargestStripe);
    return bytes - bytes % kSmallestStripe;
}

Failure ReasonFailure(TextId id, const std::string& path, int error) {
    return {Say(id, {platform::ReasonLine(path, error)})};
}

// A shard read a stripe at a time from `offset` in its file: its `bytes`
// bytes, then zeros to the shard's length.
struct ShardInput {
    platform::File file;
    std::string path;
    int64_t bytes = 0;
    int64_t done = 0;
};

// A shard written a stripe at a time: its first `bytes` bytes go to the
// digest that checks them and to the file at its position; or, when `at` is
// not negative, only the `keepBytes` from `keepFrom` on, to the file from `at`.
struct ShardOutput {
    platform::File* file = nullptr;
    std::string path;
    int64_t bytes = 0;
    int64_t done = 0;
    MD5Context md5{};
    int64_t at = -1;
    int64_t keepFrom = 0;
    int64_t keepBytes = 0;
};

// Runs the coder over the shards' `shardBytes` bytes, stripe after stripe,
// telling `progress` after each one.
std::optional<Failure> CodeStripes(const RegionCoder& coder, std::vector<ShardInput>& inputs,
                                   std::vector<ShardOutput>& outputs, int64_t shardBytes,
                                   const StripeProgress& progress) {
    const size_t stripe = StripeBytes(inputs.size() + outputs.size());
    std::vector<HashBuffer> buffers;
    std::vector<const uint8_t*> in;
    std::vector<uint8_t*> out;
    for (size_t i = 0; i < inputs.size() + outputs.size(); ++i) {
        buffers.push_back(MakeHashBuffer(stripe));
        (i < inputs.size() ? (void)in.push_back(buffers.back().get())
                           : out.push_back(buffers.back().get()));
    }
    for (ShardOutput& output : outputs) MD5Init(output.md5);
    for (int64_t at = 0; at < shardBytes; at += int64_t(stripe)) {
        const size_t count = static_cast<size_t>(std::min<int64_t>(stripe, shardBytes - at));
        for (size_t i = 0; i < inputs.size(); ++i) {
            ShardInput& input = inputs[i];
            uint8_t* buffer = buffers[i].get();
            const size_t wanted =
                static_cast<size_t>(std::clamp<int64_t>(input.bytes - input.done, 0, count));
            if (wanted > 0) {
                const platform::IoResult read = input.file.Read(buffer, wanted);
                if (!read.ok() || read.bytes != int64_t(wanted))
                    return ReasonFailure(TextId::RecoveryReadFailed, input.path,
                                         read.ok() ? ESTALE : read.error);
                input.done += read.bytes;
            }
            std::memset(buffer + wanted, 0, count - wanted);
        }
        coder.Apply(in.data(), out.data(), count);
        for (size_t r = 0; r < outputs.size(); ++r) {
            ShardOutput& output = outputs[r];
            const size_t kept =
                static_cast<size_t>(std::clamp<int64_t>(output.bytes - output.done, 0, count));
            if (kept == 0) continue;
            MD5Update(output.md5, out[r], kept);
            int64_t from = output.done, to = output.done + int64_t(kept);
            if (output.at >= 0) {
                from = std::max(from, output.keepFrom);
                to = std::min(to, output.keepFrom + output.keepBytes);
                if (from < to && !output.file->Seek(output.at + from - output.keepFrom))
                    return ReasonFailure(TextId::RecoveryWriteFailed, output.path, EIO);
            }
            if (from < to) {
                const platform::IoResult wrote = output.file->Write(out[r] + (from - output.done),
                                                                    static_cast<size_t>(to - from));
                if (!wrote.ok())
                    return ReasonFailure(TextId::RecoveryWriteFailed, output.path, wrote.error);
            }
            output.done += int64_t(kept);
        }
        if (progress && !progress(at + int64_t(count), shardBytes))
            return Failure{.text = {}, .stopped = true};
    }
    return std::nullopt;
}

// Creates `path` for writing, or says why it cannot.
std::optional<Failure> CreateShardFile(const std::string& path, platform::File& file) {
    file = platform::File::CreateNew(path);
    if (file.IsOpen()) return std::nullopt;
    if (file.OpenError() == EEXIST)
        return Failure{Say(TextId::RecoveryPartExists, {platform::VisibleText(path)})};
    return ReasonFailure(TextId::RecoveryWriteFailed, path, file.OpenError());
}

// Writes `bytes` at the start of the file, then closes it.
std::optional<Failure> FinishShardFile(platform::File& file, const std::string& path,
                                       const std::vector<uint8_t>& header) {
    if (!header.empty()) {
        if (!file.Seek(0)) return ReasonFailure(TextId::RecoveryWriteFailed, path, EIO);
        const platform::IoResult wrote = file.Write(header.data(), header.size());
        if (!wrote.ok()) return ReasonFailure(TextId::RecoveryWriteFailed, path, wrote.error);
    }
    if (!file.Close()) return ReasonFailure(TextId::RecoveryWriteFailed, path, file.CloseError());
    return std::nullopt;
}

std::string FreeName(const std::string& path, const std::string& ending);

// Removes the files a failed operation made, while they are still its own.
struct MadeFiles {
    std::vector<std::pair<std::string, platform::FileIdentity>> files;
    bool kept = false;
    void Add(const std::string& path, const platform::File& file) {
        if (std::optional<platform::FileIdentity> id = file.Identity())
            files.emplace_back(path, *id);
    }
    void Renamed(const std::string& from, const std::string& to) {
        for (auto& file : files)
            if (file.first == from) file.first = to;
    }
    ~MadeFiles() {
        if (kept) return;
        for (const auto& [path, identity] : files) platform::RemoveIfSame(path, identity);
    }
};

std::vector<uint8_t> ReadHeaderBytes(platform::File& file) {
    std::vector<uint8_t> bytes(kFixedBytes);
    const platform::IoResult fixed = file.Read(bytes.data(), bytes.size());
    if (!fixed.ok()) return {};
    bytes.resize(static_cast<size_t>(fixed.bytes));
    const size_t whole = AnnouncedHeaderBytes(bytes);
    if (whole <= bytes.size()) return bytes;
    bytes.resize(whole);
    const platform::IoResult rest = file.Read(bytes.data() + kFixedBytes, whole - kFixedBytes);
    if (!rest.ok()) return {};
    bytes.resize(kFixedBytes + static_cast<size_t>(rest.bytes));
    return bytes;
}

DecodedHeader ReadHeaderOf(const std::string& path) {
    platform::File file = platform::File::OpenRead(path);
    DecodedHeader unreadable;
    unreadable.fault = HeaderFault::NotRecovery;
    if (!file.IsOpen()) return unreadable;
    return DecodeHeader(ReadHeaderBytes(file));
}

}  // namespace

std::string RecoveryPartName(std::string_view stem, int index) {
    const char digits[] = {char('0' + (index + 1) / 10 % 10), char('0' + (index + 1) % 10), 0};
    return std::string(stem) + ".R" + digits + kRecoveryEnding;
}

bool IsRecoveryPartName(std::string_view name) {
    constexpr size_t kTail = 8;  // ".R01.pcw"
    if (name.size() <= kTail || !platform::EndsWithNoCase(name, kRecoveryEnding)) return false;
    const std::string_view tail = name.substr(name.size() - kTail, 4);
    return tail[0] == '.' && (tail[1] == 'R' || tail[1] == 'r') && tail[2] >= '0' &&
           tail[2] <= '9' && tail[3] >= '0' && tail[3] <= '9';
}

std::optional<Failure> ProtectParts(const std::vector<std::string>& dataPaths,
                                    const std::string& stemPath, int recoveryParts,
                                    std::vector<std::string>* written,
                                    const std::vector<std::optional<Digest>>& known,
                                    std::optional<Field> field, const StripeProgress& progress) {
    const int dataParts = static_cast<int>(dataPaths.size());
    const Field code = field.value_or(FieldFor(dataParts + recoveryParts));
    const int most = std::min(kMostShards, MostShardsOf(code));
    if (dataParts + recoveryParts > most)
        return Failure{Say(TextId::RecoveryTooManyShards,
                           {std::to_string(most), std::to_string(dataParts + recoveryParts)})};

    // The digests and sizes first: the header lists them.
    std::vector<Digest> digests(dataPaths.size());
    std::vector<PartToHash> toHash;
    std::vector<size_t> hashedPart;
    for (size_t j = 0; j < dataPaths.size(); ++j) {
        if (j < known.size() && known[j]) {
            digests[j] = *known[j];
            continue;
        }
        toHash.push_back({.path = dataPaths[j]});
        hashedPart.push_back(j);
    }
    PartHashOptions options;
    options.bufferSize = 1u << 20;
    // The parts without a known digest are read once before the coding reads
    // them all: that pass has its own progress, and a stop ends it too.
    std::atomic<bool> stopped{false};
    int64_t hashBytes = 0;
    if (progress) {
        for (const PartToHash& part : toHash)
            hashBytes += std::max<int64_t>(platform::FileSize(part.path), 0);
        options.progress = [&](size_t, int64_t, int64_t allBytes) {
            if (!progress(std::min(allBytes, hashBytes), std::max<int64_t>(hashBytes, 1)))
                stopped = true;
        };
        options.cancelled = [&] { return stopped.load(); };
    }
    const PartHashResult hashed = HashParts(toHash, options);
    if (stopped) return Failure{.text = {}, .stopped = true};
    if (!hashed.ok())
        return ReasonFailure(TextId::RecoveryReadFailed,
                             dataPaths[hashedPart[size_t(hashed.failedPart)]], hashed.error);
    for (size_t n = 0; n < hashedPart.size(); ++n) digests[hashedPart[n]] = *hashed.digests[n];

    RecoveryHeader header;
    header.field = code;
    header.dataParts = dataParts;
    header.recoveryParts = recoveryParts;
    std::vector<ShardInput> inputs;
    for (int j = 0; j < dataParts; ++j) {
        ShardInput input{platform::File::OpenRead(dataPaths[j]), dataPaths[j]};
        if (!input.file.IsOpen())
            return ReasonFailure(TextId::RecoveryReadFailed, dataPaths[j], input.file.OpenError());
        input.bytes = input.file.Size();
        header.shardBytes = std::max(header.shardBytes, input.bytes);
        header.totalBytes += input.bytes;
        header.shards.push_back(
            {input.bytes, digests[size_t(j)], platform::FileNameOf(dataPaths[j])});
        inputs.push_back(std::move(input));
    }
    // Whole symbols: a two-byte symbol's high byte is a zero past an odd end.
    const int symbol = SymbolBytes(header.field);
    header.shardBytes = std::max<int64_t>(header.shardBytes, 1);
    header.shardBytes += (symbol - header.shardBytes % symbol) % symbol;

    MadeFiles made;
    std::vector<platform::File> files(static_cast<size_t>(recoveryParts));
    std::vector<ShardOutput> outputs;
    const std::vector<uint8_t> blank(static_cast<size_t>([&] {
        RecoveryHeader sized = header;
        for (int r = 0; r < recoveryParts; ++r)
            sized.shards.push_back({0, {}, platform::FileNameOf(RecoveryPartName(stemPath, r))});
        return sized.HeaderBytes();
    }()));
    for (int r = 0; r < recoveryParts; ++r) {
        const std::string path = RecoveryPartName(stemPath, r);
        if (platform::FileExists(path))
            return Failure{Say(TextId::RecoveryPartExists, {platform::VisibleText(path)})};
        const std::string temporary = FreeName(path, ".incomplet");
        if (std::optional<Failure> failed = CreateShardFile(temporary, files[size_t(r)]))
            return failed;
        made.Add(temporary, files[size_t(r)]);
        const platform::IoResult wrote = files[size_t(r)].Write(blank.data(), blank.size());
        if (!wrote.ok()) return ReasonFailure(TextId::RecoveryWriteFailed, path, wrote.error);
        outputs.push_back({&files[size_t(r)], temporary, header.shardBytes});
    }

    // Counted over every part read, as the split counted them.
    const StripeProgress coded = [&](int64_t done, int64_t total) {
        return !progress || progress(done * dataParts, total * dataParts);
    };
    if (std::optional<Failure> failed =
            CodeStripes(RegionCoder(CauchyRows(header.field, dataParts, recoveryParts)), inputs,
                        outputs, header.shardBytes, coded))
        return failed;

    for (int r = 0; r < recoveryParts; ++r)
        header.shards.push_back({header.shardBytes, MD5Final(outputs[size_t(r)].md5),
                                 platform::FileNameOf(RecoveryPartName(stemPath, r))});
    for (int r = 0; r < recoveryParts; ++r) {
        header.index = r;
        if (std::optional<Failure> failed =
                FinishShardFile(files[size_t(r)], outputs[size_t(r)].path, EncodeHeader(header)))
            return failed;
    }
    // Every part is whole before any takes its name.
    for (int r = 0; r < recoveryParts; ++r) {
        const std::string path = RecoveryPartName(stemPath, r);
        int error = 0;
        // Lazy as the split's own parts: a sync would write the parts out
        // at once, for no more safety than the set they protect has.
        if (!platform::RenameNoReplace(outputs[size_t(r)].path, path, &error))
            return error == EEXIST
                       ? Failure{Say(TextId::RecoveryPartExists, {platform::VisibleText(path)})}
                       : ReasonFailure(TextId::RecoveryWriteFailed, path, error);
        made.Renamed(outputs[size_t(r)].path, path);
    }
    made.kept = true;
    if (written)
        for (int r = 0; r < recoveryParts; ++r) written->push_back(RecoveryPartName(stemPath, r));
    return std::nullopt;
}

Protection ExamineProtection(const std::string& anyPart) {
    Protection protection;
    protection.folder =
        platform::WithSeparator(platform::FolderOf(platform::AbsolutePath(anyPart)));
    const std::string given = platform::FileNameOf(anyPart);

    // Every recovery part of the folder, by its header.
    std::vector<std::pair<std::string, DecodedHeader>> found;
    std::vector<std::string> names = platform::FolderEntries(protection.folder);
    if (platform::IsRegularFile(anyPart)) names.push_back(given);
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    for (const std::string& name : names) {
        const bool candidate = IsRecoveryPartName(name);
        if (!candidate && name != given) continue;
        DecodedHeader decoded = ReadHeaderOf(protection.folder + name);
        if (candidate || decoded.header) found.emplace_back(name, std::move(decoded));
    }

    // The set: the one whose table names the part given, held by the most
    // recovery parts.
    const auto lists = [](const RecoveryHeader& h, const std::string& name) {
        return std::any_of(h.shards.begin(), h.shards.end(),
                           [&](const ShardEntry& s) { return s.name == name; });
    };
    const RecoveryHeader* chosen = nullptr;
    size_t chosenVotes = 0;
    for (const auto& candidate : found) {
        const std::optional<RecoveryHeader>& header = candidate.second.header;
        if (!header || !lists(*header, given)) continue;
        const size_t votes = std::count_if(found.begin(), found.end(), [&](const auto& other) {
            return other.second.header && SameSet(*other.second.header, *header);
        });
        if (votes > chosenVotes) chosen = &*header, chosenVotes = votes;
    }
    if (chosen) protection.header = *chosen;

    // What looks like a recovery part of this set and cannot serve it: a part
    // its table names, of another set or with a header at fault; without a
    // set, every recovery part whose header is at fault.
    for (const auto& [name, decoded] : found) {
        if (chosen ? (decoded.header && SameSet(*decoded.header, *chosen)) || !lists(*chosen, name)
                   : decoded.header.has_value())
            continue;
        protection.ignored.push_back({protection.folder + name,
                                      decoded.header ? HeaderFault::None : decoded.fault,
                                      decoded.version});
    }
    if (!protection.header) return protection;

    // Every shard against the table: sizes first, then the digests of all
    // those of the right size, hashed together.
    const RecoveryHeader& h = *protection.header;
    const int64_t headerBytes = h.HeaderBytes();
    std::vector<PartToHash> toHash;
    std::vector<size_t> hashedShard;
    for (int i = 0; i < h.dataParts + h.recoveryParts; ++i) {
        const ShardEntry& entry = h.shards[size_t(i)];
        ShardCheck check{.path = protection.folder + entry.name, .data = i < h.dataParts};
        check.number = check.data ? i + 1 : i - h.dataParts + 1;
        check.expected = check.data ? entry.bytes : headerBytes + entry.bytes;
        check.bytes = platform::FileSize(check.path);
        if (!platform::IsRegularFile(check.path)) {
            check.state = ShardState::Missing;
        } else if (check.bytes != check.expected) {
            check.state = ShardState::Damaged;
        } else if (!check.data) {
            const DecodedHeader own = ReadHeaderOf(check.path);
            if (!own.header || !SameSet(*own.header, h) || own.header->index != i - h.dataParts)
                check.state = ShardState::Damaged;
        }
        if (check.state == ShardState::Good) {
            toHash.push_back(
                {.path = check.path, .offset = check.data ? 0 : headerBytes, .bytes = entry.bytes});
            hashedShard.push_back(size_t(i));
        }
        protection.shards.push_back(std::move(check));
    }
    PartHashOptions options;
    options.bufferSize = 1u << 20;
    options.everyPart = true;
    const PartHashResult hashed = HashParts(toHash, options);
    for (size_t n = 0; n < hashedShard.size(); ++n) {
        ShardCheck& check = protection.shards[hashedShard[n]];
        if (hashed.errors[n] != 0) {
            check.state = ShardState::Unreadable;
            check.error = hashed.errors[n];
        } else if (*hashed.digests[n] != h.shards[hashedShard[n]].digest) {
            check.state = ShardState::Damaged;
        }
    }
    std::vector<ShardState> states;
    for (const ShardCheck& check : protection.shards) states.push_back(check.state);
    protection.plan = PlanRepair(h.field, h.dataParts, states);
    return protection;
}

namespace {

// A name beside `path` that no file has yet: `path` + `ending`, then with
// ".2", ".3"… after it.
std::string FreeName(const std::string& path, const std::string& ending) {
    std::string name = path + ending;
    for (int n = 2; platform::FileExists(name); ++n) name = path + ending + "." + std::to_string(n);
    return name;
}

}  // namespace

namespace {

// "N fichiers …" in the plural, `one` for a single one.
std::string Counted(size_t count, TextId many, TextId one) {
    return count == 1 ? Say(one) : Say(many, {std::to_string(count)});
}

}  // namespace

std::string IrreparableText(const RepairPlan& plan) {
    return Say(
        TextId::RecoveryIrreparable,
        {Counted(plan.lost.size(), TextId::RecoveryLost, TextId::RecoveryOneLost),
         Counted(size_t(plan.NeededRecovery()), TextId::RecoveryNeeded, TextId::RecoveryOneNeeded),
         std::to_string(plan.goodRecovery)});
}

std::optional<Failure> RepairSet(const Protection& protection, RepairReport& report) {
    const RepairPlan& plan = protection.plan;
    if (!protection.header || plan.Whole()) return std::nullopt;
    if (!plan.Repairable() || !plan.decode) return Failure{IrreparableText(plan)};
    const RecoveryHeader& h = *protection.header;
    const int64_t headerBytes = h.HeaderBytes();

    std::vector<ShardInput> inputs;
    for (int source : plan.sources) {
        const ShardCheck& check = protection.shards[size_t(source)];
        ShardInput input{platform::File::OpenRead(check.path), check.path,
                         h.shards[size_t(source)].bytes};
        if (!input.file.IsOpen())
            return ReasonFailure(TextId::RecoveryReadFailed, check.path, input.file.OpenError());
        if (!check.data && !input.file.Seek(headerBytes))
            return ReasonFailure(TextId::RecoveryReadFailed, check.path, EIO);
        inputs.push_back(std::move(input));
    }

    MadeFiles made;
    std::vector<platform::File> files(plan.lost.size());
    std::vector<ShardOutput> outputs;
    std::vector<std::string> temporary;
    for (size_t n = 0; n < plan.lost.size(); ++n) {
        const int lost = plan.lost[n];
        const ShardCheck& check = protection.shards[size_t(lost)];
        temporary.push_back(FreeName(check.path, ".reparation"));
        if (std::optional<Failure> failed = CreateShardFile(temporary.back(), files[n]))
            return failed;
        made.Add(temporary.back(), files[n]);
        if (!check.data) {
            RecoveryHeader own = h;
            own.index = lost - h.dataParts;
            const std::vector<uint8_t> bytes = EncodeHeader(own);
            const platform::IoResult wrote = files[n].Write(bytes.data(), bytes.size());
            if (!wrote.ok())
                return ReasonFailure(TextId::RecoveryWriteFailed, temporary.back(), wrote.error);
        }
        outputs.push_back({&files[n], temporary.back(), h.shards[size_t(lost)].bytes});
    }
    if (std::optional<Failure> failed =
            CodeStripes(RegionCoder(*plan.decode), inputs, outputs, h.shardBytes, {}))
        return failed;
    for (size_t n = 0; n < plan.lost.size(); ++n) {
        if (MD5Final(outputs[n].md5) != h.shards[size_t(plan.lost[n])].digest)
            return Failure{
                Say(TextId::RecoveryRebuiltWrong,
                    {platform::VisibleText(protection.shards[size_t(plan.lost[n])].path)})};
        if (std::optional<Failure> failed = FinishShardFile(files[n], temporary[n], {}))
            return failed;
    }

    // Every part rebuilt and checked: now the names.
    made.kept = true;
    for (size_t n = 0; n < plan.lost.size(); ++n) {
        const std::string& path = protection.shards[size_t(plan.lost[n])].path;
        int error = 0;
        if (platform::FileExists(path)) {
            const std::string aside = FreeName(path, ".endommage");
            if (!platform::RenameNoReplace(path, aside, &error))
                return ReasonFailure(TextId::RecoveryWriteFailed, path, error);
            report.keptAside.emplace_back(path, aside);
        }
        if (!platform::RenameNoReplace(temporary[n], path, &error, platform::Durability::Durable))
            return ReasonFailure(TextId::RecoveryWriteFailed, path, error);
        report.rebuilt.push_back(path);
    }
    return std::nullopt;
}

namespace {

std::string ShardProblem(const ShardCheck& shard) {
    switch (shard.state) {
        case ShardState::Good:
            return Say(TextId::VerifyPartIntact);
        case ShardState::Missing:
            return Say(TextId::JudgedPartMissing);
        case ShardState::Unreadable:
            return Say(TextId::JudgedPartUnreadable,
                       {platform::ReasonLine(shard.path, shard.error)});
        case ShardState::Damaged:
            break;
    }
    if (shard.bytes == shard.expected) return Say(TextId::JudgedPartDamaged);
    return Say(shard.bytes < shard.expected ? TextId::JudgedPartShort : TextId::JudgedPartLong,
               {std::to_string(shard.bytes), std::to_string(shard.expected)});
}

std::string IgnoredReason(const IgnoredPart& part) {
    switch (part.fault) {
        case HeaderFault::None:
            return Say(TextId::RecoveryOtherSet);
        case HeaderFault::OtherVersion:
            return Say(TextId::RecoveryOtherVersion, {std::to_string(part.version)});
        case HeaderFault::NotRecovery:
        case HeaderFault::Damaged:
            break;
    }
    return Say(TextId::RecoveryBadHeader);
}

}  // namespace

std::string DescribeProtection(const Protection& protection, bool verbose) {
    std::string text;
    for (const ShardCheck& shard : protection.shards) {
        if (shard.state == ShardState::Good && !verbose) continue;
        const std::string said = platform::VisibleMessage(ShardProblem(shard));
        const std::string path = platform::VisibleText(shard.path);
        text += Say(shard.data ? TextId::VerifyPartLine : TextId::RecoveryPartLine,
                    {std::to_string(shard.number), path, said});
    }
    for (const IgnoredPart& part : protection.ignored)
        text += Say(TextId::RecoveryIgnoredLine,
                    {platform::VisibleText(part.path), IgnoredReason(part)});
    if (!protection.header) return text;
    const RepairPlan& plan = protection.plan;
    if (plan.Whole())
        text += Say(TextId::RecoveryPartsIntact, {std::to_string(plan.goodRecovery)});
    else if (plan.Repairable())
        text +=
            Say(TextId::RecoveryRepairable,
                {Counted(plan.lost.size(), TextId::RecoveryToRebuild, TextId::RecoveryOneToRebuild),
                 Counted(size_t(plan.goodRecovery), TextId::RecoveryPresent,
                         TextId::RecoveryOnePresent)});
    else
        text += IrreparableText(plan);
    return text;
}

bool HasRecoveryParts(const std::string& anyPart) {
    const std::vector<std::string> names =
        platform::FolderEntries(platform::FolderOf(platform::AbsolutePath(anyPart)));
    return std::any_of(names.begin(), names.end(), IsRecoveryPartName);
}

namespace {

// Reads `bytes` at `at` in the file, zeros after its end; false when it fails.
bool ReadPadded(const std::string& path, int64_t at, int64_t available, uint8_t* bytes,
                size_t count) {
    std::memset(bytes, 0, count);
    const size_t wanted = static_cast<size_t>(std::clamp<int64_t>(available, 0, int64_t(count)));
    if (wanted == 0) return true;
    platform::File file = platform::File::OpenRead(path);
    if (!file.IsOpen() || !file.Seek(at)) return false;
    const platform::IoResult read = file.Read(bytes, wanted);
    return read.ok() && read.bytes == int64_t(wanted);
}

}  // namespace

std::optional<std::vector<uint8_t>> DataPartBytes(const Protection& protection, int index,
                                                  int64_t from, size_t count) {
    if (!protection.header || index < 0 || index >= protection.header->dataParts || from < 0)
        return std::nullopt;
    const RecoveryHeader& h = *protection.header;
    const RepairPlan& plan = protection.plan;
    std::vector<uint8_t> bytes(count);
    const ShardCheck& own = protection.shards[size_t(index)];
    if (own.state == ShardState::Good) {
        if (!ReadPadded(own.path, from, h.shards[size_t(index)].bytes - from, bytes.data(), count))
            return std::nullopt;
        return bytes;
    }
    const auto lost = std::find(plan.lost.begin(), plan.lost.end(), index);
    if (!plan.Repairable() || !plan.decode || lost == plan.lost.end()) return std::nullopt;
    const size_t row = static_cast<size_t>(lost - plan.lost.begin());
    const int columns = plan.decode->columns;
    // The code works on whole symbols: the bytes asked for are rebuilt within
    // the symbols that hold them.
    const int64_t symbol = SymbolBytes(h.field);
    const int64_t start = from - from % symbol;
    const int64_t end = from + int64_t(count);
    const size_t span =
        static_cast<size_t>(end - start + (symbol - (end - start) % symbol) % symbol);
    std::vector<std::vector<uint8_t>> sources;
    std::vector<const uint8_t*> in;
    for (const int source : plan.sources) {
        const ShardCheck& check = protection.shards[size_t(source)];
        const int64_t skip = check.data ? 0 : h.HeaderBytes();
        sources.emplace_back(span);
        if (!ReadPadded(check.path, skip + start, h.shards[size_t(source)].bytes - start,
                        sources.back().data(), span))
            return std::nullopt;
        in.push_back(sources.back().data());
    }
    GfMatrix decode = GfMatrix::Zero(h.field, 1, columns);
    std::copy(plan.decode->cells.begin() + row * size_t(columns),
              plan.decode->cells.begin() + (row + 1) * size_t(columns), decode.cells.begin());
    std::vector<uint8_t> rebuilt(span);
    uint8_t* out = rebuilt.data();
    RegionCoder(std::move(decode)).Apply(in.data(), &out, span);
    std::copy_n(rebuilt.begin() + (from - start), count, bytes.begin());
    return bytes;
}

std::optional<Failure> JoinRepairing(const Protection& protection,
                                     const std::vector<JoinPiece>& pieces,
                                     const std::string& outputPath,
                                     const StripeProgress& progress) {
    const RepairPlan& plan = protection.plan;
    if (!protection.header || !plan.Repairable() || !plan.decode ||
        pieces.size() != size_t(protection.header->dataParts))
        return Failure{IrreparableText(plan)};
    const RecoveryHeader& h = *protection.header;

    std::vector<int64_t> at(pieces.size() + 1, 0);
    for (size_t j = 0; j < pieces.size(); ++j) at[j + 1] = at[j] + pieces[j].bytes;
    MadeFiles made;
    const std::string temporary = FreeName(outputPath, ".incomplet");
    platform::File output;
    if (std::optional<Failure> failed = CreateShardFile(temporary, output)) return failed;
    made.Add(temporary, output);

    // The intact parts first, copied as they are (inside the kernel where it can).
    std::vector<uint8_t> buffer(1u << 20);
    int64_t copiedBytes = 0;
    for (size_t j = 0; j < pieces.size(); ++j) {
        const ShardCheck& check = protection.shards[j];
        if (check.state != ShardState::Good) continue;
        platform::File part = platform::File::OpenRead(check.path);
        if (!part.IsOpen())
            return ReasonFailure(TextId::RecoveryReadFailed, check.path, part.OpenError());
        if (!part.Seek(pieces[j].from) || !output.Seek(at[j]))
            return ReasonFailure(TextId::RecoveryReadFailed, check.path, EIO);
        for (int64_t left = pieces[j].bytes; left > 0;) {
            const platform::IoResult copied =
                part.CopyTo(output, static_cast<size_t>(left), buffer.data(), buffer.size());
            if (!copied.ok())
                return ReasonFailure(
                    copied.writing ? TextId::RecoveryWriteFailed : TextId::RecoveryReadFailed,
                    copied.writing ? temporary : check.path, copied.error);
            if (copied.ended || copied.bytes == 0)
                return ReasonFailure(TextId::RecoveryReadFailed, check.path, ESTALE);
            left -= copied.bytes;
            copiedBytes += copied.bytes;
            if (progress && !progress(copiedBytes, at.back()))
                return Failure{.text = {}, .stopped = true};
        }
    }

    // Then the lost ones, rebuilt in memory where they go; lost recovery
    // parts are computed and dropped.
    std::vector<ShardInput> inputs;
    for (int source : plan.sources) {
        const ShardCheck& check = protection.shards[size_t(source)];
        ShardInput input{platform::File::OpenRead(check.path), check.path,
                         h.shards[size_t(source)].bytes};
        if (!input.file.IsOpen() || (!check.data && !input.file.Seek(h.HeaderBytes())))
            return ReasonFailure(TextId::RecoveryReadFailed, check.path, input.file.OpenError());
        inputs.push_back(std::move(input));
    }
    // Only the lost data parts are computed: a lost recovery part is not needed.
    std::vector<ShardOutput> outputs;
    GfMatrix decode = GfMatrix::Zero(plan.decode->field, 0, plan.decode->columns);
    for (size_t n = 0; n < plan.lost.size(); ++n) {
        const int lost = plan.lost[n];
        if (lost >= h.dataParts) continue;
        const JoinPiece& piece = pieces[size_t(lost)];
        outputs.push_back({.file = &output,
                           .path = temporary,
                           .bytes = h.shards[size_t(lost)].bytes,
                           .at = at[size_t(lost)],
                           .keepFrom = piece.from,
                           .keepBytes = piece.bytes});
        ++decode.rows;
        decode.cells.insert(decode.cells.end(),
                            plan.decode->cells.begin() + n * size_t(decode.columns),
                            plan.decode->cells.begin() + (n + 1) * size_t(decode.columns));
    }
    if (std::optional<Failure> failed = CodeStripes(
            RegionCoder(std::move(decode)), inputs, outputs, h.shardBytes,
            [&](int64_t done, int64_t total) {
                const int64_t rebuilt = at.back() - copiedBytes;
                return !progress || progress(copiedBytes + rebuilt * done / total, at.back());
            }))
        return failed;
    for (size_t n = 0, o = 0; n < plan.lost.size(); ++n) {
        const int lost = plan.lost[n];
        if (lost >= h.dataParts) continue;
        if (MD5Final(outputs[o++].md5) != h.shards[size_t(lost)].digest)
            return Failure{Say(TextId::RecoveryRebuiltWrong,
                               {platform::VisibleText(protection.shards[size_t(lost)].path)})};
    }
    if (std::optional<Failure> failed = FinishShardFile(output, temporary, {})) return failed;
    int error = 0;
    if (!platform::RenameNoReplace(temporary, outputPath, &error, platform::Durability::Durable))
        return ReasonFailure(TextId::RecoveryWriteFailed, outputPath, error);
    made.kept = true;
    return std::nullopt;
}

}  // namespace recovery

#include "formats/native/UzelParcelwise.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>

#include "core/CheckedPart.h"
#include "core/CopyLoop.h"
#include "core/ParcelTools.h"
#include "core/Texts.h"
#include "formats/Workflow.h"
#include "formats/native/DiskFields.h"
#include "formats/native/md5.h"
#include "platform/Clock.h"
#include "platform/File.h"
#include "platform/Fs.h"
#include "platform/Reasons.h"

using platform::kIconError;
using platform::kIconInfo;
using platform::kIconWarning;

namespace {

constexpr char kTitle[] = "-=Parcelwise=-";
constexpr char kSignature[] = "Parcelwise";
constexpr char kVersion[] = "1.1";
constexpr char kLegacyMark[] = "Corvane(c) - 2004";

constexpr size_t kSignatureAt = 0, kSignatureRoom = 20;
constexpr size_t kVersionAt = 21, kVersionRoom = 10;
constexpr size_t kDateAt = 32;
constexpr size_t kNameAt = 40;
constexpr size_t kDigestFlagAt = 91;
constexpr size_t kCountAt = 92;
constexpr size_t kSizeAt = 96;

constexpr char kProblemsIntro[] = "Une ou plusieurs informations sont incorrectes : \n\r";
constexpr char kCreateFailed[] =
    "Une erreur est survenue pendant la création du fichier de destination : \n\r\n\r"
    "    - Le fichier de destination existe déjà.\n\r"
    "    - Le dossier de destination est en lecture seule.";
constexpr char kJoinStopped[] = "Recollage interrompu";
// A name typed or pasted by the user must not lead outside the destination folder.
constexpr char kUnsafeName[] =
    "\n\r- Nom du fichier de Destination incorrect (caractères interdits : / \\ et caractères de "
    "contrôle).";

}  // namespace

std::array<uint8_t, kHeaderSize> EncodeHeader(const TzelHeader& header) {
    std::array<uint8_t, kHeaderSize> bytes{};
    PutLengthTextAt(&bytes[kSignatureAt], kSignatureRoom, header.signature);
    PutLengthTextAt(&bytes[kVersionAt], kVersionRoom, header.version);
    PutLittleEndianAt(&bytes[kDateAt], header.splitDate);
    PutLengthTextAt(&bytes[kNameAt], kOriginalNameRoom, header.originalName);
    bytes[kDigestFlagAt] = header.hasDigests;
    PutLittleEndianAt(&bytes[kCountAt], header.partCount);
    PutLittleEndianAt(&bytes[kSizeAt], header.originalSize);
    return bytes;
}

TzelHeader DecodeHeader(std::span<const uint8_t, kHeaderSize> bytes) {
    TzelHeader header;
    header.signature = LengthTextAt<kSignatureAt, kSignatureRoom>(bytes);
    header.version = LengthTextAt<kVersionAt, kVersionRoom>(bytes);
    header.splitDate = LittleEndianAt<double, kDateAt>(bytes);
    header.originalName = LengthTextAt<kNameAt, kOriginalNameRoom>(bytes);
    header.hasDigests = bytes[kDigestFlagAt];
    header.partCount = LittleEndianAt<int32_t, kCountAt>(bytes);
    header.originalSize = LittleEndianAt<int64_t, kSizeAt>(bytes);
    return header;
}

bool IsValidHeader(const TzelHeader& header) {
    return header.signature == kSignature && header.version == kVersion &&
           !header.originalName.empty() && header.partCount > 1 && header.originalSize > 0;
}

bool HasLegacyMark(const uint8_t* bytes, size_t size) {
    constexpr size_t length = sizeof kLegacyMark - 1;
    return size > length && bytes[0] == length && std::memcmp(bytes + 1, kLegacyMark, length) == 0;
}

std::string HeaderName(std::string_view name) {
    return platform::SafeFileName(Cp1252ToUtf8(Utf8ToCp1252(Utf8Left(name, kOriginalNameRoom))));
}

bool IsFirstPartName(const std::string& path) {
    constexpr std::string_view kEnding = ".001.pcw";
    const std::string name = platform::FileNameOf(path);
    if (name.size() <= kEnding.size()) return false;
    const std::string_view ending = std::string_view(name).substr(name.size() - kEnding.size());
    return std::equal(ending.begin(), ending.end(), kEnding.begin(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == b;
    });
}

std::string NativeSetPart(const std::string& firstPart, int64_t number) {
    constexpr size_t kEnding = 8;     // ".001.pcw"
    constexpr size_t kExtension = 4;  // ".pcw"
    if (firstPart.size() < kEnding) return std::string();
    return firstPart.substr(0, firstPart.size() - kEnding) + "." + NumberText(number, 3) +
           firstPart.substr(firstPart.size() - kExtension);
}

std::string TzelParcelwise::StoredDigest(int32_t number) const {
    const size_t index = static_cast<size_t>(number - 1);
    if (index < digests.size()) return digests[index];
    platform::File last =
        platform::File::OpenRead(PartPath(header.partCount), platform::Share::Read);
    const int64_t size = last.IsOpen() ? last.Size() : -1;
    const int64_t at =
        size - static_cast<int64_t>(kDigestTextSize) * (header.partCount - number + 1);
    std::string digest(kDigestTextSize, '\0');
    if (size < 0 || at < 0 || !last.Seek(at) ||
        last.Read(digest.data(), digest.size()).bytes != static_cast<int64_t>(digest.size()))
        return std::string();
    return digest;
}

std::string NativePartName(const std::string& base, int64_t number) {
    return base + "." + NumberText(number, 3) + ".pcw";
}

TzelParcelwise::TzelParcelwise() {
    formatKind = FormatKind::Parcelwise;
}

void TzelParcelwise::ResetSet() {
    Reset();
    header.signature.clear();
    header.version.clear();
    header.originalName.clear();
    header.hasDigests = 0;
    header.partCount = 0;
    header.originalSize = 0;
}

int64_t TzelParcelwise::DataBytesOf(int32_t number, int64_t fileSize) const {
    int64_t bytes = fileSize;
    if (number == 1) bytes -= static_cast<int64_t>(kHeaderSize);
    if (number == header.partCount && header.hasDigests == 1)
        bytes -= static_cast<int64_t>(kDigestTextSize) * header.partCount;
    return bytes;
}

// ---------------------------------------------------------------------------
// Split

bool TzelParcelwise::CheckSplitParameters(const std::string& sourceName,
                                          const std::string& destName, bool withDigests,
                                          int32_t partSize) {
    bool valid = true;
    std::string problems;
    if (sourceName.empty()) {
        valid = false;
        problems += "\n\r- Nom du fichier Original (longeur entre 1 et 255 car.).";
    } else {
        header.originalName = HeaderName(sourceName);
    }
    if (destName.empty()) {
        valid = false;
        problems += "\n\r- Nom du fichier de Destination (longeur entre 1 et 255 car.).";
    } else if (!platform::IsSafeFileName(destName)) {
        valid = false;
        problems += kUnsafeName;
    } else {
        settings.fileName = Utf8Left(destName, kDestNameRoom);
        // The longest part name is that of the last part.
        const int64_t parts = partSize > 0 ? (sourceSize + partSize - 1) / partSize : 1;
        const std::string lastPart = platform::FileNameOf(NativePartName(settings.fileName, parts));
        if (!NameFits(settings.folder, lastPart.size(), problems)) valid = false;
    }
    if (partSize <= 0) {
        valid = false;
        problems += "\n\r- Taille de découpage incorrecte (Supérieure à 0).";
    } else if (partSize > sourceSize) {
        valid = false;
        problems += "\n\r- Taille de découpage supérieure à la taille originale du fichier.";
    } else if (partSize == sourceSize) {
        // One part holding the whole file is no set: the joiner refuses it.
        valid = false;
        problems +=
            "\n\r- Taille de découpage égale à la taille du fichier (il faut au moins 2 fichiers).";
    } else {
        settings.partSize = partSize;
    }
    header.hasDigests = withDigests ? 1 : 0;
    if (const std::string taken = workflow::TakenLine(
            workflow::FirstOutputPath(*this, workflow::Direction::Split, destName),
            settings.folder + destName);
        !taken.empty()) {
        valid = false;
        problems += taken;
    }
    if (!valid) platform::MessageBoxA(ownerWindow, kProblemsIntro + problems, kTitle, kIconWarning);
    return valid;
}

void TzelParcelwise::StartSplit() {
    joining = false;
    worker_.Start([this] { SplitThread(); });
}

void TzelParcelwise::SplitThread() {
    step = Step::Splitting;
    totalBytes = sourceSize;
    doneBytes = 0;
    partNumber = 0;
    header.signature = kSignature;
    header.version = kVersion;
    header.splitDate = platform::Today();
    header.originalSize = sourceSize;
    header.partCount = 0;

    // Only a checked job gets here; without a part size no part would ever
    // fill and parts would be made until the disk is full.
    if (settings.partSize <= 0)
        return Fail("Taille de découpage incorrecte (Supérieure à 0).", "Erreur", kIconError);

    partsToMake_ = (sourceSize + settings.partSize - 1) / settings.partSize;
    CopyBuffer buffer(settings.bufferSize);
    if (!buffer.Allocated())
        return Fail("Impossible d'allouer la mémoire nécessaire au buffer !", "Erreur", kIconError);

    const std::string base = settings.folder + settings.fileName;
    platform::File source = platform::File::OpenRead(sourcePath);
    if (!source.IsOpen())
        return Fail("Le fichier source n'est pas accessible !" +
                        platform::ReasonLine(sourcePath, source.OpenError()),
                    "Erreur", kIconError);
    // The set records the size measured at the open: a file that changed since
    // would be cut to a length it no longer has.
    if (source.Size() != sourceSize)
        return Fail(
            "Le fichier source a changé de taille depuis son ouverture : ouvrez-le à nouveau.",
            "Erreur", kIconError);

    auto writeFailed = [&](int32_t number, int error) {
        Fail("Erreur d'écriture dans le fichier *." + NumberText(number, 3) + ".pcw." +
                 platform::ReasonLine(NativePartName(base, number), error),
             "Erreur", kIconError);
    };
    auto createFailed = [&](int32_t number, int error) {
        Fail(platform::CreationFailure(kCreateFailed, NativePartName(base, number), error),
             "Erreur", kIconError);
    };
    // Copies one part; on failure the message is shown and false returned.
    auto copyPart = [&](platform::File& target, int32_t number) {
        CopyResult result = CopyWithProgress(source, target, settings.partSize, buffer);
        if (result == CopyResult::Done) return true;
        if (result == CopyResult::ReadFailed)
            Fail("Erreur de lecture du fichier source !" +
                     platform::ReasonLine(sourcePath, CopyError()),
                 "Erreur", kIconError);
        else if (result == CopyResult::SourceEnded)
            Fail("Le fichier source est plus court que prévu : il a changé pendant le découpage !",
                 "Erreur", kIconError);
        else
            writeFailed(number, CopyError());
        return false;
    };
    auto closePart = [&](platform::File& part, int32_t number) {
        if (part.Close()) return true;
        writeFailed(number, part.CloseError());
        return false;
    };
    auto missing = [&](int32_t number) {
        const std::string name = NativePartName(base, number);
        Fail("Le fichier *." + NumberText(number, 3) + ".pcw est introuvable." +
                 platform::ReasonLine(name, platform::FileExists(name) ? ESTALE : ENOENT),
             "Erreur", kIconError);
    };

    // Part 1 stays open until its header is written, the last part until its
    // digests are: both are written through the handles that created them and
    // never opened by name again, so that a name swapped for a link meanwhile
    // leads nowhere. The parts in between are only read again, reopened
    // without following links and only when they are the files made here.
    const bool withDigests = header.hasDigests == 1;
    std::vector<platform::FileIdentity> made;
    platform::File first =
        platform::File::CreateNew(NativePartName(base, 1), platform::Access::ReadWrite);
    if (!first.IsOpen()) return createFailed(1, first.OpenError());
    if (!first.Seek(kHeaderSize)) return writeFailed(1, EIO);
    if (!copyPart(first, 1)) return;
    if (withDigests) made.push_back(first.Identity().value_or(platform::FileIdentity{}));
    header.partCount = 1;
    partNumber = 1;
    ShowProgress();

    platform::File target;
    for (int32_t k = 2; doneBytes < totalBytes; ++k) {
        if (k > 2 && !closePart(target, k - 1)) return;
        target = platform::File::CreateNew(NativePartName(base, k), platform::Access::ReadWrite);
        if (!target.IsOpen()) return createFailed(k, target.OpenError());
        if (doneBytes + settings.partSize > totalBytes)
            settings.partSize = static_cast<int32_t>(totalBytes - doneBytes);
        if (!copyPart(target, k)) return;
        if (withDigests) made.push_back(target.Identity().value_or(platform::FileIdentity{}));
        header.partCount = k;
        partNumber = k;
    }
    platform::File& last = header.partCount == 1 ? first : target;

    // A part no longer under its name leaves no set behind, whatever is written.
    if (!first.IsNamedBy(NativePartName(base, 1))) return missing(1);
    auto headerBytes = EncodeHeader(header);
    if (!first.Seek(0)) return writeFailed(1, EIO);
    if (const platform::IoResult w = first.Write(headerBytes.data(), headerBytes.size()); !w.ok())
        return writeFailed(1, w.error);
    source.Close();

    if (withDigests) {
        step = Step::CreatingDigests;
        digests.assign(static_cast<size_t>(header.partCount), std::string());
        for (int32_t i = 1; i <= header.partCount; ++i) {
            const std::string name = NativePartName(base, i);
            platform::File reopened;
            platform::File* part = i == 1 ? &first : i == header.partCount ? &last : nullptr;
            if (part == nullptr) {
                reopened = platform::File::OpenReadSame(name, made[static_cast<size_t>(i - 1)]);
                part = &reopened;
            }
            partNumber = i;
            partBytes = part->IsOpen() ? part->Size() : -1;
            ShowProgress();
            int error = part->IsOpen() ? 0 : part->OpenError();
            std::optional<Digest> digest;
            if (part->IsOpen() && !part->IsNamedBy(name))
                error = platform::FileExists(name) ? ESTALE : ENOENT;
            else if (part->IsOpen())
                digest = HashStream(
                    *part, [this](int64_t n) { HashProgressOf(*this, n); }, -1, &error);
            if (!digest)
                return Fail("Impossible de lire le fichier *." + NumberText(i, 3) +
                                ".pcw pour calculer son Hash MD5." +
                                platform::ReasonLine(name, error),
                            "Erreur", kIconError);
            digests[static_cast<size_t>(i - 1)] = DigestToHex(*digest);
        }
        if (!last.IsNamedBy(NativePartName(base, header.partCount)))
            return missing(header.partCount);
        std::string block;
        for (const std::string& d : digests) block += d;
        if (!last.Seek(last.Size())) return writeFailed(header.partCount, EIO);
        if (const platform::IoResult w = last.Write(block.data(), block.size()); !w.ok())
            return writeFailed(header.partCount, w.error);
    }
    if (!closePart(first, 1)) return;
    if (header.partCount > 1 && !closePart(last, header.partCount)) return;

    ShowProgress();
    step = Step::Finished;
    EndOfWork();
}

// ---------------------------------------------------------------------------
// Join

bool TzelParcelwise::OpenSet() {
    header = TzelHeader{};
    digests.clear();
    platform::File file = platform::File::OpenRead(sourcePath);
    if (!file.IsOpen()) {
        platform::MessageBoxA(
            ownerWindow,
            "Impossible d'ouvrir le fichier !" + platform::ReasonLine(sourcePath, file.OpenError()),
            "Erreur", kIconError);
        return false;
    }
    // The other parts are named after this one's ".001.pcw": any other name
    // would check and copy files that are not the set.
    if (!IsFirstPartName(sourcePath)) {
        platform::MessageBoxA(
            ownerWindow, "Ce fichier n'est pas le premier fichier d'un jeu Parcelwise (*.001.pcw).",
            "Erreur", kIconWarning);
        return false;
    }
    std::array<uint8_t, kHeaderSize> bytes{};
    if (const platform::IoResult r = file.Read(bytes.data(), bytes.size()); !r.ok()) {
        platform::MessageBoxA(ownerWindow,
                              "Impossible de lire les données du fichier." +
                                  platform::ReasonLine(sourcePath, r.error),
                              "Echec de lecture du fichier", kIconWarning);
        return false;
    }
    TzelHeader read = DecodeHeader(bytes);
    auto corrupt = [this] {
        platform::MessageBoxA(
            ownerWindow,
            "Le fichier Parcelwise semble être corrompu. Il n'est pas possible de le recoller.",
            "Fichier corrompu", kIconWarning);
        return false;
    };
    // Every part holds at least one byte of the original: more parts than bytes
    // is no set, whatever the header says.
    if (IsValidHeader(read) && read.partCount > read.originalSize) return corrupt();
    if (!IsValidHeader(read)) {
        if (HasLegacyMark(bytes.data(), bytes.size())) {
            platform::MessageBoxA(
                ownerWindow, "Ce fichier nécessite une conversion du format 1.0 au format 1.1.",
                "Conversion nécessaire", kIconInfo);
            return false;
        }
        return corrupt();
    }
    // The name comes from someone else's file: it must stay a plain file name.
    read.originalName = platform::SafeFileName(read.originalName);
    header = read;
    settings.fileName = header.originalName;
    settings.folder = platform::FolderOf(sourcePath);
    file.Close();

    if (header.hasDigests == 1) {
        platform::File last = platform::File::OpenRead(PartPath(header.partCount));
        if (last.IsOpen()) {
            const int64_t blockSize = static_cast<int64_t>(kDigestTextSize) * header.partCount;
            const int64_t size = last.Size();
            if (size < blockSize) {
                header = TzelHeader{};
                return corrupt();
            }
            // A set of many parts has its digests read one by one when they are checked.
            if (header.partCount <= kDigestsReadAtOpen) {
                std::string block(static_cast<size_t>(blockSize), '\0');
                if (last.Seek(size - blockSize) &&
                    last.Read(block.data(), block.size()).bytes == blockSize) {
                    digests.reserve(static_cast<size_t>(header.partCount));
                    for (int32_t i = 0; i < header.partCount; ++i)
                        digests.push_back(block.substr(static_cast<size_t>(i) * kDigestTextSize,
                                                       kDigestTextSize));
                }
            }
        }
    }
    return true;
}

bool TzelParcelwise::CheckJoinParameters(const std::string& destName, bool verifyHash) {
    bool valid = true;
    std::string problems;
    if (destName.empty()) {
        valid = false;
        problems += "\n\r- Nom du fichier de Destination (longeur entre 1 et 255 car.).";
    } else if (!platform::IsSafeFileName(destName)) {
        valid = false;
        problems += kUnsafeName;
    } else {
        settings.fileName = Utf8Left(destName, kDestNameRoom);
        if (!NameFits(settings.folder, settings.fileName.size(), problems)) valid = false;
    }
    settings.verifyHash = verifyHash;
    if (!destName.empty() && platform::IsSafeFileName(destName)) {
        const std::string target = settings.folder + destName;
        if (const std::string taken = workflow::TakenLine(target, target); !taken.empty()) {
            valid = false;
            problems += taken;
        }
    }
    if (!valid) platform::MessageBoxA(ownerWindow, kProblemsIntro + problems, kTitle, kIconWarning);
    return valid;
}

void TzelParcelwise::StartJoin() {
    joining = true;
    worker_.Start([this] { JoinThread(); });
}

void TzelParcelwise::JoinThread() {
    step = Step::Joining;
    const bool verify = header.hasDigests == 1 && settings.verifyHash;

    // Every part is looked for before any is hashed: a missing part is named as
    // such, and the last one carries the digests, without which every part would
    // seem corrupt. Each part stays open from here to the end of its copy, which
    // takes exactly the bytes measured here: a part that changes afterwards ends
    // the join instead of making the output another file than the one checked.
    // Past what the process may hold open, parts are let go and opened again,
    // and their identity tells whether they are still the same.
    const int64_t held = platform::OpenFileLimit() / 2;
    // Grown part by part: the count is the header's word, and a crafted one
    // must not make the join ask for memory before a part is found.
    std::vector<CheckedPart> parts;
    std::vector<int64_t> partData;
    int64_t dataBytes = 0;
    for (int32_t i = 1; i <= header.partCount; ++i) {
        CheckedPart& part = parts.emplace_back();
        if (!part.Open(PartPath(i))) {
            if (!platform::FileExists(PartPath(i)))
                return Fail("Le fichier n°" + std::to_string(i) + " est introuvable", kJoinStopped,
                            kIconWarning);
            return Fail("Le fichier n°" + std::to_string(i) + " n'est pas accessible !",
                        kJoinStopped, kIconWarning);
        }
        partData.push_back(DataBytesOf(i, part.Size()));
        dataBytes += partData.back();
        if (i > held) part.Release();
    }
    for (int32_t i = 1; verify && i <= header.partCount; ++i) {
        step = Step::CheckingDigests;
        partNumber = i;
        const size_t index = static_cast<size_t>(i - 1);
        CheckedPart& part = parts[index];
        partBytes = partData[index] + (i == 1 ? static_cast<int64_t>(kHeaderSize) : 0);
        ShowProgress();
        int error = 0;
        if (!part.Reopen())
            return Fail("Le fichier n°" + std::to_string(i) + " n'est pas accessible !" +
                            platform::ReasonLine(PartPath(i), part.File().OpenError()),
                        kJoinStopped, kIconWarning);
        auto digest = HashStream(
            part.File(), [this](int64_t n) { HashProgressOf(*this, n); }, partBytes, &error);
        if (!digest)
            return Fail("Le fichier n°" + std::to_string(i) + " n'est pas accessible !" +
                            platform::ReasonLine(PartPath(i), error),
                        kJoinStopped, kIconWarning);
        if (DigestToHex(*digest) != StoredDigest(i))
            return Fail("Le fichier n°" + std::to_string(i) + " est corrompu.", kJoinStopped,
                        kIconWarning);
        if (!part.Unchanged())
            return FailJoinCopy(CopyResult::SourceChanged, i, PartPath(i),
                                settings.folder + settings.fileName);
        if (i > held) part.Release();
    }
    // Parts that do not add up to the original would rebuild a wrong file; so
    // would a part too short to hold its header or digests, whatever the sum.
    if (dataBytes != header.originalSize ||
        std::any_of(partData.begin(), partData.end(), [](int64_t bytes) { return bytes < 0; }))
        return Fail(
            "La taille des fichiers ne correspond pas à celle du fichier d'origine : "
            "le jeu de fichiers est incomplet ou corrompu.",
            kJoinStopped, kIconWarning);

    step = Step::Joining;
    totalBytes = header.originalSize;
    doneBytes = 0;
    partNumber = 0;

    CopyBuffer buffer(settings.bufferSize);
    if (!buffer.Allocated())
        return Fail("Impossible d'allouer de la mémoire pour le buffer.", "Mémoire insuffisante",
                    kIconError);

    const std::string output = settings.folder + settings.fileName;
    platform::File target = platform::File::CreateNew(output);
    if (!target.IsOpen())
        return Fail(platform::CreationFailure(kCreateFailed, output, target.OpenError()), "Erreur",
                    kIconWarning);

    for (int32_t k = 1; k <= header.partCount; ++k) {
        CheckedPart& part = parts[static_cast<size_t>(k - 1)];
        if (!part.Reopen() || !part.File().Seek(k == 1 ? static_cast<int64_t>(kHeaderSize) : 0)) {
            const int error = part.File().IsOpen() ? EIO : part.File().OpenError();
            const std::string reason = platform::ReasonLine(PartPath(k), error);
            return k == 1
                       ? Fail("Le fichier n'est pas accessible." + reason, "Erreur", kIconError)
                       : Fail("Le fichier n'est pas accessible !" + reason, "Erreur", kIconWarning);
        }
        CopyResult result =
            CopyWithProgress(part.File(), target, partData[static_cast<size_t>(k - 1)], buffer);
        if (result == CopyResult::Done && !part.Unchanged()) result = CopyResult::SourceChanged;
        if (result != CopyResult::Done) return FailJoinCopy(result, k, PartPath(k), output);
        part.Release();
        partNumber = partNumber + 1;
        if (k == 1) ShowProgress();
    }
    if (!target.Close())
        return FailJoinCopy(CopyResult::WriteFailed, header.partCount, PartPath(header.partCount),
                            output, target.CloseError());
    ShowProgress();
    step = Step::Finished;
    EndOfWork();
}

// ---------------------------------------------------------------------------
// Display

void TzelParcelwise::ShowProgress() {
    const Step now = step;
    switch (now) {
        case Step::Splitting: {
            const int32_t count = header.partCount;
            writer_.Copying(*this, count, [&](ProgressDisplay& d) {
                // The part being made, and no further one once the last is made.
                const int64_t making = std::min<int64_t>(count + 1, partsToMake_);
                d.lblInfo(std::to_string(count) + (static_cast<uint32_t>(count) < 2
                                                       ? " fichier créé..."
                                                       : " fichiers créés..."));
                d.lblPartie("Création de < " + settings.fileName + "." + NumberText(making, 3) +
                            ".pcw >");
            });
            break;
        }
        case Step::Joining: {
            const int32_t count = partNumber;
            writer_.Copying(*this, count, [&](ProgressDisplay& d) {
                d.lblInfo(std::to_string(count) + (static_cast<uint32_t>(count) < 2
                                                       ? " fichier recollé..."
                                                       : " fichiers recollés..."));
                d.lblPartie("Recollage du fichier n° " +
                            std::to_string(count < header.partCount ? count + 1 : count));
            });
            break;
        }
        case Step::CreatingDigests:
        case Step::CheckingDigests: {
            const int32_t number = partNumber;
            const bool creating = now == Step::CreatingDigests;
            writer_.Digesting(
                *this, number,
                [&](ProgressDisplay& d) {
                    d.lblInfo(creating ? "Création des Hash MD5" : "Contrôle des Hash MD5");
                    d.lblPartie(
                        (creating ? "Hash MD5 du fichier n° " : "Vérification du fichier n° ") +
                        std::to_string(number));
                },
                number, header.partCount);
            break;
        }
        case Step::Finished:
            writer_.Finished(*this);
            break;
        case Step::Failed:
            break;
    }
}

void TzelParcelwise::EndOfWork() {
    ReportEnd(joining ? "Le fichier a été recoller avec succès !"
                      : "Le fichier a été coupé avec succès !");
}

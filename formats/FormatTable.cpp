#include "formats/FormatTable.h"

#include "formats/foreign/CutkillerSet.h"
#include "formats/foreign/DKoupSet.h"
#include "formats/foreign/EasySplitSet.h"
#include "formats/foreign/KfkSet.h"
#include "formats/foreign/KoupKoupSet.h"
#include "formats/foreign/MaxSplitSet.h"
#include "formats/foreign/NumberedSet.h"
#include "formats/foreign/Splitter40Set.h"
#include "formats/native/NativeSet.h"

namespace {

template <typename Set>
std::unique_ptr<Job> Make() {
    return std::make_unique<Set>();
}

// The labels and patterns are what users have long seen in the dialog; the
// generic reader comes twice, the second time for sets of any numbering.
constexpr FormatRow kJoinFormats[] = {
    {FormatKind::Native, "native", {"Parcelwise v1.1 (*.001.pcw)", "*.001.pcw"}, Make<NativeSet>},
    {FormatKind::Cutkiller, "cutkiller", {"Cutkiller (*.001)", "*.001"}, Make<CutkillerSet>},
    {FormatKind::Numbered,
     "generic",
     {"HJSplit, FileSpliter 4.5, UltraSplitter (*.001;*.u001)", "*.001;*.u001"},
     Make<NumberedSet>},
    {FormatKind::DKoup,
     "dkoup",
     {"D-Koup v2.5 (*.D00), Découpeur (*.D01)", "*.D00;*.D01"},
     Make<DKoupSet>},
    {FormatKind::Kfk, "kfk", {"KFK v3.8.0.30 (*.kk0)", "*.kk0"}, Make<KfkSet>},
    {FormatKind::EasySplit, "easysplit", {"EasySplit (*.000)", "*.000"}, Make<EasySplitSet>},
    {FormatKind::KoupKoup,
     "koupkoup",
     {"Koup Koup - XP, File Splitter Deluxe (*.1)", "*.1"},
     Make<KoupKoupSet>},
    {FormatKind::Splitter40,
     "splitter40",
     {"Splitter 4.0 (*.h001)", "*.h001"},
     Make<Splitter40Set>},
    {FormatKind::MaxSplit,
     "maxsplit",
     {"MaxSplit Pro 3.1 (*__1,*__01,*__001, etc)", "*__1;*__01;*__001;*__0001;*__00001"},
     Make<MaxSplitSet>},
    {FormatKind::Numbered,
     "",
     {"Format Générique inconnu (*.001)", "*.001;*.0;*.00;*.000;*.0000;*.1;*.01;*.0001"},
     Make<NumberedSet>},
};

constexpr FileTypeEntry kSplitFileTypes[] = {
    {"Tous les fichiers (*.*)", "*.*"},
    {"Fichier Audio (*.wav,*.mp3,*.ogg,*.wma)",
     "*.mp4;*.mp3;*.mp2;*.mp1;*.wav;*.wave;*.ogg;*.wma;*.mpc;*.ra;"},
    {"Fichier Vidéo (*.mpeg;*.avi;*.mkv;*.ogm;*.vob;)",
     "*.mpg;*.mpeg;*.avi;*.wmv;*.divx;*.mkv;*.ogm;*.rmvb;*.rm;*.asf;*.m2v;*.vob"},
    {"Fichier Image CD (*.iso,*.bin,*.nrg,*.mds)", "*.iso;*.bin;*.raw;*.mds;*.img;*.cdi;*nrg;"},
    {"Fichier Image (*.bmp,*.jpg,*.psd,*.png,*.tiff)", "*.bmp;*.jpg;*.psd;*.png;*.tiff;"},
    {"Fichier Archive (*.zip,*.rar,*.ace,*.7z)", "*.zip;*.rar;*.ace;*.7z;"},
};

}  // namespace

std::span<const FormatRow> JoinFormats() {
    return kJoinFormats;
}

std::span<const FileTypeEntry> SplitFileTypes() {
    return kSplitFileTypes;
}

const FormatRow* FormatOfJoinEntry(int index) {
    if (index < 1 || index > static_cast<int>(std::size(kJoinFormats))) return nullptr;
    return &kJoinFormats[static_cast<size_t>(index - 1)];
}

const FormatRow* FormatOfCliName(std::string_view name) {
    if (name.empty()) return nullptr;
    for (const FormatRow& row : kJoinFormats)
        if (row.cliName == name) return &row;
    return nullptr;
}

std::vector<std::string_view> CliFormatNames() {
    std::vector<std::string_view> names;
    for (const FormatRow& row : kJoinFormats)
        if (!row.cliName.empty()) names.push_back(row.cliName);
    return names;
}

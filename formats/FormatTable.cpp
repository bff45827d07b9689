#include "formats/FormatTable.h"

#include "formats/foreign/UzelCutkiller.h"
#include "formats/foreign/UzelDKOUP.h"
#include "formats/foreign/UzelES.h"
#include "formats/foreign/UzelGenerik.h"
#include "formats/foreign/UzelKFK.h"
#include "formats/foreign/UzelKoupKoup.h"
#include "formats/foreign/UzelMaxSplit.h"
#include "formats/foreign/UzelSplitter40.h"
#include "formats/native/UzelParcelwise.h"

namespace {

template <typename Job>
std::unique_ptr<TzelFichier> Make() {
    return std::make_unique<Job>();
}

// The labels and patterns are what users have long seen in the dialog; the
// generic reader comes twice, the second time for sets of any numbering.
constexpr FormatRow kJoinFormats[] = {
    {FormatKind::Parcelwise,
     "native",
     {"Parcelwise v1.1 (*.001.pcw)", "*.001.pcw"},
     Make<TzelParcelwise>},
    {FormatKind::Cutkiller, "cutkiller", {"Cutkiller (*.001)", "*.001"}, Make<TzelCutkiller>},
    {FormatKind::Generik,
     "generic",
     {"HJSplit, FileSpliter 4.5, UltraSplitter (*.001;*.u001)", "*.001;*.u001"},
     Make<TzelGenerik>},
    {FormatKind::DKoup,
     "dkoup",
     {"D-Koup v2.5 (*.D00), Découpeur (*.D01)", "*.D00;*.D01"},
     Make<TzelDKOUP>},
    {FormatKind::KFK, "kfk", {"KFK v3.8.0.30 (*.kk0)", "*.kk0"}, Make<TzelKFK>},
    {FormatKind::EasySplit, "easysplit", {"EasySplit (*.000)", "*.000"}, Make<TzelES>},
    {FormatKind::KoupKoup,
     "koupkoup",
     {"Koup Koup - XP, File Splitter Deluxe (*.1)", "*.1"},
     Make<TzelKoupKoup>},
    {FormatKind::Splitter40, "splitter40", {"Splitter 4.0 (*.h001)", "*.h001"}, Make<TzelSplit40>},
    {FormatKind::MaxSplit,
     "maxsplit",
     {"MaxSplit Pro 3.1 (*__1,*__01,*__001, etc)", "*__1;*__01;*__001;*__0001;*__00001"},
     Make<TzelMaxSplit>},
    {FormatKind::Generik,
     "",
     {"Format Générique inconnu (*.001)", "*.001;*.0;*.00;*.000;*.0000;*.1;*.01;*.0001"},
     Make<TzelGenerik>},
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

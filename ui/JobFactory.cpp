#include "ui/JobFactory.h"

#include "formats/foreign/ForeignFormats.h"
#include "formats/native/UzelParcelwise.h"

QList<DialogFilter> SplitFilters() {
    return {
        {"Tous les fichiers (*.*)", "*.*"},
        {"Fichier Audio (*.wav,*.mp3,*.ogg,*.wma)",
         "*.mp4;*.mp3;*.mp2;*.mp1;*.wav;*.wave;*.ogg;*.wma;*.mpc;*.ra;"},
        {"Fichier Vidéo (*.mpeg;*.avi;*.mkv;*.ogm;*.vob;)",
         "*.mpg;*.mpeg;*.avi;*.wmv;*.divx;*.mkv;*.ogm;*.rmvb;*.rm;*.asf;*.m2v;*.vob"},
        {"Fichier Image CD (*.iso,*.bin,*.nrg,*.mds)", "*.iso;*.bin;*.raw;*.mds;*.img;*.cdi;*nrg;"},
        {"Fichier Image (*.bmp,*.jpg,*.psd,*.png,*.tiff)", "*.bmp;*.jpg;*.psd;*.png;*.tiff;"},
        {"Fichier Archive (*.zip,*.rar,*.ace,*.7z)", "*.zip;*.rar;*.ace;*.7z;"},
    };
}

QList<DialogFilter> JoinFilters() {
    return {
        {"Parcelwise v1.1 (*.001.pcw)", "*.001.pcw"},
        {"Cutkiller (*.001)", "*.001"},
        {"HJSplit, FileSpliter 4.5, UltraSplitter (*.001;*.u001)", "*.001;*.u001"},
        {"D-Koup v2.5 (*.D00), Découpeur (*.D01)", "*.D00;*.D01"},
        {"KFK v3.8.0.30 (*.kk0)", "*.kk0"},
        {"EasySplit (*.000)", "*.000"},
        {"Koup Koup - XP, File Splitter Deluxe (*.1)", "*.1"},
        {"Splitter 4.0 (*.h001)", "*.h001"},
        {"MaxSplit Pro 3.1 (*__1,*__01,*__001, etc)", "*__1;*__01;*__001;*__0001;*__00001"},
        {"Format Générique inconnu (*.001)", "*.001;*.0;*.00;*.000;*.0000;*.1;*.01;*.0001"},
    };
}

std::unique_ptr<TzelFichier> CreateJoinJob(int index) {
    if (index == 1) return std::make_unique<TzelParcelwise>();
    return CreateJoinJobForFilter(index);
}

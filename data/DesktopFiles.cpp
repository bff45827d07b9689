// Writes the desktop entry and the MIME package that a package installs: the
// very texts the program writes for the user at start, so that the two never
// disagree and the program can tell when the user needs none of its own.
#include <cstdio>
#include <string>

#include "platform/Fs.h"
#include "settings/DesktopAssociation.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    const std::string out = platform::WithSeparator(argv[1]);
    const bool written =
        platform::MakeFolders(out) &&
        platform::WriteFileAtomically(out + kDesktopId + ".desktop",
                                      DesktopEntryText("parcelwise")) &&
        platform::WriteFileAtomically(out + kDesktopId + ".xml", MimePackageText());
    if (!written) std::fprintf(stderr, "%s: cannot write into %s\n", argv[0], out.c_str());
    return written ? 0 : 1;
}

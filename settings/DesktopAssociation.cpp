#include "settings/DesktopAssociation.h"

#include "platform/Env.h"
#include "platform/Fs.h"

namespace {

constexpr char kDescription[] = "Fichier découpé avec Parcelwise";

// A program path as one quoted argument of a desktop entry's Exec key: inside
// the quotes " ` $ and \ take a backslash, and the value escapes backslashes
// once more.
std::string ExecArgument(const std::string& path) {
    std::string quoted = "\"";
    for (char c : path) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
        quoted += c;
    }
    quoted += '"';
    std::string escaped;
    for (char c : quoted) {
        if (c == '\\') escaped += '\\';
        escaped += c;
    }
    return escaped;
}

// True when the file holds the text already or now.
bool WriteIfChanged(const std::string& path, const std::string& text, bool& changed) {
    auto current = platform::ReadWholeFile(path);
    if (current && *current == text) return true;
    changed = true;
    return platform::MakeFolders(platform::FolderOf(path)) && platform::WriteFileAtomically(path, text);
}

}  // namespace

std::string DesktopDataFolder() {
    if (auto data = platform::GetEnv("XDG_DATA_HOME")) return platform::WithSeparator(*data);
    return platform::WithSeparator(platform::HomeFolder()) + ".local/share/";
}

std::string DesktopEntryText(const std::string& programPath) {
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Parcelwise\n"
           "Comment=Couper et recoller des fichiers\n"
           "Exec=" + ExecArgument(programPath) + " %f\n"
           "Terminal=false\n"
           "MimeType=application/x-parcelwise;\n"
           "Categories=Utility;\n";
}

std::string MimePackageText() {
    return std::string(
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
               "  <mime-type type=\"application/x-parcelwise\">\n"
               "    <comment>") +
           kDescription +
           "</comment>\n"
           "    <glob pattern=\"*.pcw\"/>\n"
           "  </mime-type>\n"
           "</mime-info>\n";
}

bool WriteDesktopAssociation(const std::string& programPath) {
    const std::string data = DesktopDataFolder();
    bool entryChanged = false;
    bool mimeChanged = false;
    if (!WriteIfChanged(data + "applications/parcelwise.desktop", DesktopEntryText(programPath), entryChanged))
        return false;
    if (!WriteIfChanged(data + "mime/packages/parcelwise.xml", MimePackageText(), mimeChanged)) return false;
    // The caches are the desktop's business: a missing or failing tool leaves
    // the files in place for its next update.
    if (mimeChanged && platform::HasTool("update-mime-database"))
        platform::RunTool({"update-mime-database", data + "mime"});
    if (entryChanged && platform::HasTool("update-desktop-database"))
        platform::RunTool({"update-desktop-database", data + "applications"});
    return true;
}

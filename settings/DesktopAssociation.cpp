#include "settings/DesktopAssociation.h"

#include <array>
#include <optional>

#include "platform/Env.h"
#include "platform/Fs.h"
#include "platform/WholeFile.h"

namespace {

constexpr char kDescription[] = "Fichier découpé avec Parcelwise";
const std::string kEntryFile = std::string("applications/") + kDesktopId + ".desktop";
const std::string kMimeFile = std::string("mime/packages/") + kDesktopId + ".xml";
// The entry that versions before the reverse-DNS id wrote.
constexpr char kOldEntryFile[] = "applications/parcelwise.desktop";
// The names of part files: a first part, then any part.
constexpr std::array<const char*, 2> kGlobs = {"*.001.pcw", "*.pcw"};

// A program as the first word of a desktop entry's Exec key. A word with a
// character the launcher reads as syntax is quoted, and inside the quotes
// " ` $ and \ take a backslash. "%" is doubled everywhere, or the launcher
// takes it for a field code. The value is then escaped as every string value
// is, so that a backslash stays one and a line break cannot end the key.
std::string ExecArgument(const std::string& program) {
    const bool quote = program.find_first_of(" \t\n\r\"'\\><~|&;$*?#()`") != std::string::npos;
    std::string word = quote ? "\"" : "";
    for (char c : program) {
        if (quote && (c == '"' || c == '`' || c == '$' || c == '\\')) word += '\\';
        if (c == '%') word += '%';
        word += c;
    }
    if (quote) word += '"';
    std::string escaped;
    for (char c : word) {
        switch (c) {
            case '\\':
                escaped += "\\\\";
                break;
            case '\n':
                escaped += "\\n";
                break;
            case '\t':
                escaped += "\\t";
                break;
            case '\r':
                escaped += "\\r";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

// True when the file holds the text already or now.
bool WriteIfChanged(const std::string& path, const std::string& text, bool& changed) {
    auto current = platform::ReadWholeFile(path);
    if (current && *current == text) return true;
    changed = true;
    return platform::MakeFolders(platform::FolderOf(path)) &&
           platform::WriteFileAtomically(path, text);
}

// The first installed copy that the desktop reads along the data folders,
// with the folder it lies in, when it holds exactly the text.
std::optional<std::string> FolderOfInstalled(const std::string& relativePath,
                                             const std::string& text) {
    for (const std::string& folder : InstalledDataFolders()) {
        if (folder == DesktopDataFolder()) continue;
        if (!platform::FileExists(folder + relativePath)) continue;
        auto installed = platform::ReadWholeFile(folder + relativePath);
        if (installed && *installed == text) return folder;
        return std::nullopt;
    }
    return std::nullopt;
}

bool InstalledFileSays(const std::string& relativePath, const std::string& text) {
    return FolderOfInstalled(relativePath, text).has_value();
}

// The installed MIME package counts only once the folder's MIME database,
// which file managers read instead of the packages, has taken it in: a source
// install that nobody followed with update-mime-database leaves it unread.
bool InstalledMimeAnswers(const std::string& text) {
    const auto folder = FolderOfInstalled(kMimeFile, text);
    return folder && MimeDatabaseAnswers(*folder);
}

// The installed entry when it starts this very program: its Exec names the
// program bare, and the PATH leads from that name to the running file.
std::optional<std::string> InstalledEntryFor(const std::string& programPath) {
    const std::string name = platform::FileNameOf(programPath);
    auto onPath = platform::FindOnPath(name);
    if (!onPath || !platform::SameFile(*onPath, programPath)) return std::nullopt;
    std::string entry = DesktopEntryText(name);
    if (!InstalledFileSays(kEntryFile, entry)) return std::nullopt;
    return entry;
}

// Where an installed copy says the same, the user needs none; a copy of the
// user's own from an earlier start would take precedence over the installed
// one, so it is brought in line rather than left to start another program.
bool PlaceUserFile(const std::string& path, const std::string& text, bool installed,
                   bool& changed) {
    if (installed && !platform::FileExists(path)) return true;
    return WriteIfChanged(path, text, changed);
}

// The entry of the old name would show the program a second time: hidden, it
// stays the user's file but leaves the menu.
bool HideOldEntry(const std::string& path, bool& changed) {
    auto old = platform::ReadWholeFile(path);
    if (!old || old->find(std::string("MimeType=") + kMimeType + ";") == std::string::npos)
        return true;
    if (old->find("\nHidden=true\n") != std::string::npos) return true;
    const bool ended = !old->empty() && old->back() == '\n';
    return WriteIfChanged(path, *old + (ended ? "" : "\n") + "Hidden=true\n", changed);
}

// A key of the desktop entry in English, the default of every language
// without its own, and in French.
std::string TranslatedKey(const char* key, const char* english, const char* french) {
    return std::string(key) + "=" + english + "\n" + key + "[fr]=" + french + "\n";
}

}  // namespace

std::string DesktopDataFolder() {
    if (auto data = platform::GetEnv("XDG_DATA_HOME")) return platform::WithSeparator(*data);
    return platform::WithSeparator(platform::HomeFolder()) + ".local/share/";
}

std::vector<std::string> InstalledDataFolders() {
    const std::string dirs =
        platform::GetEnv("XDG_DATA_DIRS").value_or("/usr/local/share/:/usr/share/");
    std::vector<std::string> folders;
    size_t start = 0;
    while (start <= dirs.size()) {
        size_t end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        if (end > start)
            folders.push_back(platform::WithSeparator(dirs.substr(start, end - start)));
        start = end + 1;
    }
    return folders;
}

std::string DesktopEntryText(const std::string& program) {
    return std::string(
               "[Desktop Entry]\n"
               "Type=Application\n"
               "Name=Parcelwise\n") +
           TranslatedKey("GenericName", "File Splitter", "Découpeur de fichiers") +
           TranslatedKey("Comment", "Split files and join them back",
                         "Couper et recoller des fichiers") +
           "Icon=" + kDesktopId +
           "\n"
           "Exec=" +
           ExecArgument(program) +
           " %f\n"
           "Terminal=false\n"
           // What X11 desktops match the window against, Qt's window class
           // being named after the program's file.
           "StartupWMClass=parcelwise\n"
           "MimeType=" +
           kMimeType +
           ";\n"
           "Categories=Utility;Archiving;\n" +
           TranslatedKey("Keywords", "split;cut;join;merge;parts;file;MD5;",
                         "couper;découper;recoller;joindre;morceaux;fichier;MD5;split;join;");
}

bool MimeDatabaseAnswers(const std::string& dataFolder) {
    const auto globs = platform::ReadWholeFile(dataFolder + "mime/globs2");
    const auto magic = platform::ReadWholeFile(dataFolder + "mime/magic");
    if (!globs || !magic) return false;
    for (const char* glob : kGlobs)
        if (globs->find(std::string(":") + kMimeType + ":" + glob + "\n") == std::string::npos)
            return false;
    return magic->find(std::string(":") + kMimeType + "]\n") != std::string::npos;
}

std::string MimePackageText() {
    return std::string(
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
               "  <mime-type type=\"") +
           kMimeType +
           "\">\n"
           "    <comment>Parcelwise part file</comment>\n"
           "    <comment xml:lang=\"fr\">" +
           kDescription +
           "</comment>\n"
           "    <generic-icon name=\"package-x-generic\"/>\n"
           // The first part opens the join even renamed: its header starts
           // with the length byte 10 and the signature.
           "    <magic priority=\"50\">\n"
           "      <match type=\"string\" offset=\"0\" value=\"\\x0aParcelwise\"/>\n"
           "    </magic>\n"
           "    <glob pattern=\"" +
           kGlobs[0] +
           "\"/>\n"
           "    <glob pattern=\"" +
           kGlobs[1] +
           "\"/>\n"
           "  </mime-type>\n"
           "</mime-info>\n";
}

bool WriteDesktopAssociation(const std::string& programPath) {
    const std::string data = DesktopDataFolder();
    std::string entry = DesktopEntryText(programPath);
    const auto installedEntry = InstalledEntryFor(programPath);
    if (installedEntry) entry = *installedEntry;
    const std::string mime = MimePackageText();
    bool entryChanged = false;
    bool mimeChanged = false;
    if (!PlaceUserFile(data + kEntryFile, entry, installedEntry.has_value(), entryChanged))
        return false;
    if (!HideOldEntry(data + kOldEntryFile, entryChanged)) return false;
    const bool installedMime = InstalledMimeAnswers(mime);
    if (!PlaceUserFile(data + kMimeFile, mime, installedMime, mimeChanged)) return false;
    // The user's own package, written by an earlier start whose tool was
    // missing or failed, or by hand, must reach the user's database too.
    if (!installedMime && !MimeDatabaseAnswers(data)) mimeChanged = true;
    // The caches are the desktop's business: a missing or failing tool leaves
    // the files in place for its next update.
    if (mimeChanged && platform::HasTool("update-mime-database"))
        platform::RunTool({"update-mime-database", data + "mime"});
    if (entryChanged && platform::HasTool("update-desktop-database"))
        platform::RunTool({"update-desktop-database", data + "applications"});
    return true;
}

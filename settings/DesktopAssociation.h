// The desktop's side of the ".pcw" association: a desktop entry that opens the
// program with the file, and a MIME type that claims the part files for it.
// A package installs both under the system's data folders; the program writes
// the same two files under $XDG_DATA_HOME (~/.local/share when unset) at every
// start, unless the installed ones already say what it would write and the
// installed MIME package has reached its folder's MIME database.
#pragma once

#include <string>
#include <vector>

// The name of the entry, of the icon and of the MIME package, installed or not:
// one id, so that the desktop never shows the program twice.
inline constexpr char kDesktopId[] = "org.parcelwise.Parcelwise";
inline constexpr char kMimeType[] = "application/x-parcelwise";

// Only the desktops of Linux read these files; Windows finds the association
// in the registry keys alone.
#ifdef _WIN32
inline constexpr bool kUsesDesktopFiles = false;
#else
inline constexpr bool kUsesDesktopFiles = true;
#endif

// The folder that holds applications/ and mime/, with a trailing separator.
std::string DesktopDataFolder();
// The system's data folders, searched in that order ($XDG_DATA_DIRS), each
// with a trailing separator.
std::vector<std::string> InstalledDataFolders();
// The entry that starts the program: a full path, or a bare name that the
// launcher finds on the PATH as an installed entry does.
std::string DesktopEntryText(const std::string& program);
std::string MimePackageText();
// Whether the MIME database compiled in a data folder (by update-mime-database,
// from its mime/packages) gives part files our type: by each of their names,
// and a first part by its content.
bool MimeDatabaseAnswers(const std::string& dataFolder);
// Writes both files when their content differs from what is there, then asks
// the desktop's tools, when installed, to take them in. False when a file
// could not be written.
bool WriteDesktopAssociation(const std::string& programPath);

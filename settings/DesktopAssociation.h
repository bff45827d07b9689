// The desktop's side of the ".pcw" association: a desktop entry that opens the
// program with the file, and a MIME type that claims "*.pcw" for it, both
// under $XDG_DATA_HOME (~/.local/share when unset).
#pragma once

#include <string>

// The folder that holds applications/ and mime/, with a trailing separator.
std::string DesktopDataFolder();
std::string DesktopEntryText(const std::string& programPath);
std::string MimePackageText();
// Writes both files when their content differs from what is there, then asks
// the desktop's tools, when installed, to take them in. False when a file
// could not be written.
bool WriteDesktopAssociation(const std::string& programPath);

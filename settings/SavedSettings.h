// The user's settings between runs, kept under HKEY_CURRENT_USER\Software\Parcelwise,
// and the association of ".pcw" files with the program.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Language.h"
#include "platform/Messages.h"
#include "platform/Registry.h"

// Copy-buffer sizes the user can choose from; the settings store the index.
inline constexpr std::array<uint32_t, 7> kBufferSizes = {16384,  32768,   65536,  262144,
                                                         524288, 1048576, 4194304};
// The index of a buffer size, -1 when it is none of them.
int BufferSizeIndex(uint32_t bytes);

class SavedSettings {
public:
    // args: the program's arguments after its name; programPath: the full path
    // of the program that ".pcw" files open with; registryFolder: where the
    // hive files live, empty on Windows for the system's registry.
    SavedSettings(std::vector<std::string> args, std::string programPath);
    SavedSettings(std::vector<std::string> args, std::string programPath,
                  std::string registryFolder);

    uint32_t bufferSize = 16384;
    int32_t defaultSize = 0;
    int32_t sizeMode = 0;  // 0: part size in Mo ("Taille"), 1: number of parts ("Nombre")
    bool isHashEnabled = false;
    bool splitQuit = false;
    bool joinQuit = false;
    bool openDir = false;
    bool hideMessage = false;
    bool deletePartialFile = false;
    bool deleteAfterJoin = false;
    int32_t recoveryParts = 0;  // written after the parts of a split from the windows
    // A split from the windows writes a plain set (NAME.001… of data alone)
    // rather than a native one; its checksum file is NAME.sha256 rather than
    // NAME.md5.
    bool plainSets = false;
    bool plainSha256 = false;
    // The windows' language, a platform::LanguageChoice as stored; read at
    // start, before the windows are built.
    int32_t language = 0;
    // The stored language as a choice: a value no version writes is Automatic.
    platform::LanguageChoice LanguageChosen() const;

    // True when an existing key was read; false on the first run and after a
    // load error, which puts every default back and says so. The key is read
    // value by value: each value that is missing (a key saved by an older
    // version, or edited by hand), of another type or out of its range keeps
    // its first-run default, and the others are the user's. A hive that cannot
    // be read, or a line of our key that does not parse, is a load error;
    // damage elsewhere in the hive is not ours. The association is written
    // after, and its failure changes nothing here.
    // What it has to say goes to `said`.
    bool LoadSettings(platform::Messages& said);
    // Writes the settings back; false when the save failed (the previous
    // settings then stay on disk untouched).
    bool SaveSettings();
    // Reads the settings without writing anything: what the command line uses.
    // Values read as LoadSettings reads them; a damaged key or hive leaves the
    // first-run defaults.
    void PeekSettings();

    bool HasStartupFile() const;
    std::string StartupFile() const;

    // Makes the program the opener of ".pcw" files; false when it could not.
    bool RegisterFileType();

    // "\"<program>\" \"%1\"": what the shell runs to open a part.
    std::string CommandLine() const;

private:
    // Every value of the open key, or its first-run default.
    void ReadAll(const platform::Registry& registry);
    bool WriteDefaults(platform::Registry& registry);
    void PutFirstRunValues();

    std::vector<std::string> args_;
    std::string programPath_;
    std::string registryFolder_;
};

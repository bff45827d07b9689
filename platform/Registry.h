// A typed key/value store in the manner of the Windows registry, for the two
// roots the program uses. Each root is one text file in the ".reg" export
// format, so a user can read, edit and back it up:
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_CURRENT_USER\Software\Parcelwise]
//   @="\"/usr/bin/parcelwise\" \"%1\""
//   "BufferSize"=dword:00000000
//
// A Registry object loads its root's file, works in memory and writes the file
// back atomically when it is closed, if anything changed. The file is shared
// with whatever else the user keeps in it: a save writes anew only the keys
// that were written to, and every other line goes back as it was read, even a
// line that does not parse. A save that would drop an unreadable line first
// keeps the file as it was beside it (see Close).
//
// On Windows, a Registry given no folder works on the system's registry
// instead (platform/SystemRegistry.h): it reads the values from there, keeps
// what it writes in memory, and writes the keys written to when it is closed.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <variant>
#include <vector>

namespace platform {

enum class RegRoot { CurrentUser, ClassesRoot };

// The folder of the hive files: $PARCELWISE_REGISTRY_DIR, else on Windows
// none (the system's registry), else $XDG_CONFIG_HOME/parcelwise, else
// ~/.config/parcelwise.
std::string RegistryFolder();
// The hive file of a root in a folder ("HKEY_CURRENT_USER.reg", ...).
std::string HiveFile(const std::string& folder, RegRoot root);

enum class RegRead { Ok, Missing, WrongType };

class Registry {
public:
    using Value = std::variant<uint32_t, std::string>;  // REG_DWORD or REG_SZ

    explicit Registry(RegRoot root, std::string folder = RegistryFolder());
    // Writes back what changed; see Close() for the result.
    ~Registry();
    Registry(const Registry&) = delete;
    Registry& operator=(const Registry&) = delete;

    // False when the hive file exists but holds no hive at all: it cannot be
    // read, is larger than kMaxHiveBytes (refused unread), or does not start as
    // a registry export. The store is then empty and LoadError() says why.
    bool Loaded() const { return loadError_.empty(); }
    const std::string& LoadError() const { return loadError_; }
    static constexpr int64_t kMaxHiveBytes = 1 << 20;

    // Paths use backslashes. A path starting with "\" starts at the root,
    // another continues from the open key. Names compare without case.
    bool KeyExists(const std::string& path) const;
    // True when a line of the key's own block in the file does not parse (its
    // key line included): the values read from it may be incomplete. Subkeys
    // are keys of their own.
    bool KeyDamaged(const std::string& path) const;
    bool OpenKey(const std::string& path, bool canCreate);
    void CloseKey();
    const std::string& CurrentKey() const { return current_; }

    // An empty name is the key's nameless default value.
    RegRead ReadInteger(const std::string& name, int32_t& out) const;
    RegRead ReadString(const std::string& name, std::string& out) const;
    bool WriteInteger(const std::string& name, int32_t value);
    bool WriteString(const std::string& name, const std::string& value);

    // Saves the hive when it changed; false when the save failed (the file then
    // keeps its previous content). When the save drops lines that could not be
    // read (a damaged key written anew, or a file that held no hive), the old
    // file is first kept beside the real file as "<file>.damaged", or
    // ".damaged.2", ".damaged.3", ... when older copies exist (never replaced);
    // without that copy nothing is saved.
    bool Close();

    // Key paths and value names compare without case, and keep the spelling
    // they were first written with.
    struct NoCase {
        bool operator()(const std::string& a, const std::string& b) const;
    };
    using Values = std::map<std::string, Value, NoCase>;
    using Keys = std::map<std::string, Values, NoCase>;  // paths below the root, no leading "\"

    // The ".reg" text of a set of keys, and back. Parse refuses a text with any
    // line it cannot read, and names the first one in the error.
    static std::string Serialize(RegRoot root, const Keys& keys);
    static std::optional<Keys> Parse(const std::string& text, std::string& error);

    // One key's block of lines in the file, as read; the lines above the first
    // key and the keys of roots we do not know have no path.
    struct Block {
        std::string path;
        std::vector<std::string> lines;  // without their line feeds
        bool damaged = false;
    };
    // A hive text read as far as it goes: every line lands in a block.
    struct Hive {
        bool isHive = false;  // starts with the export header
        std::string error;    // the first line that did not parse, if any
        std::vector<Block> blocks;
        Keys keys;
    };
    static Hive ParseHive(const std::string& text);

private:
    std::string Resolve(const std::string& path) const;
    RegRead Find(const std::string& name, Value& out) const;
    std::string Text() const;
    bool DropsUnreadLines() const;

    RegRoot root_;
    bool system_ = false;  // the system's registry, not a hive file
    std::string file_;
    std::string loadError_;
    std::vector<Block> blocks_;
    std::set<std::string, NoCase> rewritten_;  // keys whose blocks a save writes anew
    Keys keys_;
    std::string current_;  // path of the open key
    bool open_ = false;
    bool dirty_ = false;
    bool saveFailed_ = false;
};

}  // namespace platform

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
// back atomically when it is closed, if anything changed.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <variant>

namespace platform {

enum class RegRoot { CurrentUser, ClassesRoot };

// The folder of the hive files: $PARCELWISE_REGISTRY_DIR, else
// $XDG_CONFIG_HOME/parcelwise, else ~/.config/parcelwise.
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

    // False when the hive file exists but cannot be read or parsed; the store is
    // then empty and LoadError() says why.
    bool Loaded() const { return loadError_.empty(); }
    const std::string& LoadError() const { return loadError_; }

    // Paths use backslashes. A path starting with "\" starts at the root,
    // another continues from the open key. Names compare without case.
    bool KeyExists(const std::string& path) const;
    bool OpenKey(const std::string& path, bool canCreate);
    void CloseKey();
    const std::string& CurrentKey() const { return current_; }

    // An empty name is the key's nameless default value.
    RegRead ReadInteger(const std::string& name, int32_t& out) const;
    RegRead ReadString(const std::string& name, std::string& out) const;
    bool WriteInteger(const std::string& name, int32_t value);
    bool WriteString(const std::string& name, const std::string& value);

    // Saves the hive when it changed; false when the save failed (the file then
    // keeps its previous content).
    bool Close();

    // Key paths and value names compare without case, and keep the spelling
    // they were first written with.
    struct NoCase {
        bool operator()(const std::string& a, const std::string& b) const;
    };
    using Values = std::map<std::string, Value, NoCase>;
    using Keys = std::map<std::string, Values, NoCase>;  // paths below the root, no leading "\"

    // The ".reg" text of a set of keys, and back.
    static std::string Serialize(RegRoot root, const Keys& keys);
    static std::optional<Keys> Parse(const std::string& text, std::string& error);

private:
    std::string Resolve(const std::string& path) const;
    const Value* Find(const std::string& name) const;

    RegRoot root_;
    std::string file_;
    std::string loadError_;
    Keys keys_;
    std::string current_;  // path of the open key
    bool open_ = false;
    bool dirty_ = false;
    bool saveFailed_ = false;
};

}  // namespace platform

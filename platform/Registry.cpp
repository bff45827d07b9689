#include "platform/Registry.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <sstream>

#include "platform/Env.h"
#include "platform/Fs.h"

namespace platform {

namespace {

constexpr char kHeaderLine[] = "Windows Registry Editor Version 5.00";

const char* RootName(RegRoot root) {
    return root == RegRoot::CurrentUser ? "HKEY_CURRENT_USER" : "HKEY_CLASSES_ROOT";
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string Quote(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    return out + "\"";
}

// Reads a quoted text at line[pos]; pos ends after the closing quote.
bool Unquote(const std::string& line, size_t& pos, std::string& out) {
    if (pos >= line.size() || line[pos] != '"') return false;
    out.clear();
    for (++pos; pos < line.size(); ++pos) {
        char c = line[pos];
        if (c == '"') {
            ++pos;
            return true;
        }
        if (c == '\\') {
            if (++pos >= line.size()) return false;
            c = line[pos];
        }
        out += c;
    }
    return false;
}

std::string TrimPath(std::string path) {
    while (!path.empty() && path.front() == '\\') path.erase(path.begin());
    while (!path.empty() && path.back() == '\\') path.pop_back();
    return path;
}

}  // namespace

bool Registry::NoCase::operator()(const std::string& a, const std::string& b) const {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](unsigned char x, unsigned char y) {
        return std::tolower(x) < std::tolower(y);
    });
}

std::string RegistryFolder() {
    if (auto dir = GetEnv("PARCELWISE_REGISTRY_DIR")) return WithSeparator(*dir);
    if (auto config = GetEnv("XDG_CONFIG_HOME")) return WithSeparator(*config) + "parcelwise/";
    return WithSeparator(HomeFolder()) + ".config/parcelwise/";
}

std::string HiveFile(const std::string& folder, RegRoot root) {
    return WithSeparator(folder) + RootName(root) + ".reg";
}

Registry::Registry(RegRoot root, std::string folder) : root_(root), file_(HiveFile(folder, root)) {
    if (!FileExists(file_)) return;
    auto text = ReadWholeFile(file_);
    if (!text) {
        loadError_ = "cannot read " + file_;
        return;
    }
    std::string error;
    auto keys = Parse(*text, error);
    if (!keys) {
        loadError_ = file_ + ": " + error;
        return;
    }
    keys_ = std::move(*keys);
}

Registry::~Registry() { Close(); }

std::string Registry::Resolve(const std::string& path) const {
    if (!path.empty() && path.front() == '\\') return TrimPath(path);
    if (!open_ || current_.empty()) return TrimPath(path);
    return TrimPath(current_ + "\\" + path);
}

bool Registry::KeyExists(const std::string& path) const {
    std::string full = Resolve(path);
    if (keys_.count(full)) return true;
    // A key with subkeys exists even when it was never listed itself.
    std::string prefix = Lower(full) + "\\";
    return std::any_of(keys_.begin(), keys_.end(),
                       [&](const auto& entry) { return Lower(entry.first).rfind(prefix, 0) == 0; });
}

bool Registry::OpenKey(const std::string& path, bool canCreate) {
    std::string full = Resolve(path);
    if (full.empty()) return false;
    if (!KeyExists("\\" + full)) {
        if (!canCreate) return false;
        // Like the registry, creating a key creates its missing parents.
        size_t at = 0;
        while ((at = full.find('\\', at)) != std::string::npos) keys_.try_emplace(full.substr(0, at++));
        keys_.try_emplace(full);
        dirty_ = true;
    }
    current_ = keys_.count(full) ? keys_.find(full)->first : full;
    open_ = true;
    return true;
}

void Registry::CloseKey() {
    open_ = false;
    current_.clear();
}

const Registry::Value* Registry::Find(const std::string& name) const {
    if (!open_) return nullptr;
    auto key = keys_.find(current_);
    if (key == keys_.end()) return nullptr;
    auto value = key->second.find(name);
    return value == key->second.end() ? nullptr : &value->second;
}

RegRead Registry::ReadInteger(const std::string& name, int32_t& out) const {
    const Value* value = Find(name);
    if (!value) return RegRead::Missing;
    if (!std::holds_alternative<uint32_t>(*value)) return RegRead::WrongType;
    out = static_cast<int32_t>(std::get<uint32_t>(*value));
    return RegRead::Ok;
}

RegRead Registry::ReadString(const std::string& name, std::string& out) const {
    const Value* value = Find(name);
    if (!value) return RegRead::Missing;
    if (!std::holds_alternative<std::string>(*value)) return RegRead::WrongType;
    out = std::get<std::string>(*value);
    return RegRead::Ok;
}

bool Registry::WriteInteger(const std::string& name, int32_t value) {
    if (!open_) return false;
    keys_[current_][name] = static_cast<uint32_t>(value);
    dirty_ = true;
    return true;
}

bool Registry::WriteString(const std::string& name, const std::string& value) {
    if (!open_) return false;
    keys_[current_][name] = value;
    dirty_ = true;
    return true;
}

bool Registry::Close() {
    CloseKey();
    if (!dirty_) return !saveFailed_;
    dirty_ = false;
    saveFailed_ = !(MakeFolders(FolderOf(file_)) && WriteFileAtomically(file_, Serialize(root_, keys_)));
    return !saveFailed_;
}

std::string Registry::Serialize(RegRoot root, const Keys& keys) {
    std::string out = std::string(kHeaderLine) + "\n";
    for (const auto& [path, values] : keys) {
        out += "\n[" + std::string(RootName(root)) + "\\" + path + "]\n";
        for (const auto& [name, value] : values) {
            out += name.empty() ? "@" : Quote(name);
            out += '=';
            if (std::holds_alternative<uint32_t>(value)) {
                char hex[16];
                std::snprintf(hex, sizeof hex, "%08x", std::get<uint32_t>(value));
                out += std::string("dword:") + hex;
            } else {
                out += Quote(std::get<std::string>(value));
            }
            out += '\n';
        }
    }
    return out;
}

std::optional<Registry::Keys> Registry::Parse(const std::string& text, std::string& error) {
    Keys keys;
    std::istringstream in(text);
    std::string line;
    int number = 0;
    bool headerSeen = false;
    const std::string* section = nullptr;
    auto fail = [&](const std::string& why) {
        error = "line " + std::to_string(number) + ": " + why;
        return std::nullopt;
    };
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (number == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);
        if (line.empty() || line.front() == ';') continue;
        if (!headerSeen) {
            if (line != kHeaderLine) return fail("not a registry export");
            headerSeen = true;
            continue;
        }
        if (line.front() == '[') {
            if (line.back() != ']') return fail("unterminated key");
            std::string path = line.substr(1, line.size() - 2);
            size_t slash = path.find('\\');
            std::string rootPart = path.substr(0, slash);
            if (rootPart != "HKEY_CURRENT_USER" && rootPart != "HKEY_CLASSES_ROOT") return fail("unknown root");
            path = slash == std::string::npos ? std::string() : TrimPath(path.substr(slash));
            if (path.empty()) return fail("a value cannot sit on the root");
            section = &keys.try_emplace(path).first->first;
            continue;
        }
        if (!section) return fail("value outside a key");
        size_t pos = 0;
        std::string name;
        if (line.front() == '@') {
            pos = 1;
        } else if (!Unquote(line, pos, name)) {
            return fail("bad value name");
        }
        if (pos >= line.size() || line[pos] != '=') return fail("'=' expected");
        ++pos;
        Values& values = keys[*section];
        if (line.compare(pos, 6, "dword:") == 0) {
            std::string hex = line.substr(pos + 6);
            if (hex.size() != 8 || hex.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
                return fail("bad dword");
            values[name] = static_cast<uint32_t>(std::stoul(hex, nullptr, 16));
        } else {
            std::string value;
            if (!Unquote(line, pos, value) || pos != line.size()) return fail("bad string value");
            values[name] = value;
        }
    }
    // We never write an empty file: one that is empty was cut short.
    if (!headerSeen) return fail("not a registry export");
    return keys;
}

}  // namespace platform

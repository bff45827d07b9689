#include "platform/Registry.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "platform/Env.h"
#include "platform/File.h"
#include "platform/Fs.h"
#include "platform/SystemRegistry.h"

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

// UTF-16 code units of a text for a REG_SZ in hex form. The text need not be
// valid UTF-8: a byte that starts no valid sequence becomes a lone low
// surrogate U+DC80..U+DCFF, which no valid text produces, so it reads back as
// the same byte.
std::u16string ToUtf16(const std::string& text) {
    std::u16string out;
    auto continuation = [&](size_t at) { return at < text.size() && (text[at] & 0xC0) == 0x80; };
    for (size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        size_t length = c < 0x80                 ? 1
                        : c >= 0xC2 && c <= 0xDF ? 2
                        : c >= 0xE0 && c <= 0xEF ? 3
                        : c >= 0xF0 && c <= 0xF4 ? 4
                                                 : 0;
        uint32_t code = length == 1   ? c
                        : length == 2 ? c & 0x1F
                        : length == 3 ? c & 0x0F
                                      : c & 0x07;
        for (size_t k = 1; k < length; ++k) {
            if (!continuation(i + k)) {
                length = 0;
                break;
            }
            code = code << 6 | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        }
        // Lead bytes C2..DF cannot start an overlong form; longer forms are checked here.
        const bool valid = length == 1 || length == 2 ||
                           (length == 3 && code >= 0x800 && (code < 0xD800 || code > 0xDFFF)) ||
                           (length == 4 && code >= 0x10000 && code <= 0x10FFFF);
        if (!valid) {
            out += static_cast<char16_t>(0xDC00 + c);
            ++i;
            continue;
        }
        if (code >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(code);
        }
        i += length;
    }
    return out;
}

void AppendUtf8(std::string& out, uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | code >> 6);
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | code >> 12);
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | code >> 18);
        out += static_cast<char>(0x80 | (code >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

std::string FromUtf16(const std::u16string& units) {
    std::string out;
    for (size_t i = 0; i < units.size(); ++i) {
        const uint32_t unit = units[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] <= 0xDFFF) {
            AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (units[++i] - 0xDC00));
        } else if (unit >= 0xDC80 && unit <= 0xDCFF) {
            out += static_cast<char>(unit - 0xDC00);  // a byte that was not UTF-8
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            AppendUtf8(out, 0xFFFD);
        } else {
            AppendUtf8(out, unit);
        }
    }
    return out;
}

// A quoted text holds one line, and a REG_SZ ends at its first NUL: such texts
// are written as Windows writes them, "hex(1):" and the UTF-16LE bytes with
// their terminator.
std::string StringText(const std::string& value) {
    if (value.find_first_of(std::string("\n\r\0", 3)) == std::string::npos) return Quote(value);
    std::u16string units = ToUtf16(value);
    units += u'\0';
    std::string out = "hex(1):";
    char byte[4];
    for (char16_t unit : units) {
        for (unsigned part : {unit & 0xFFu, unsigned(unit) >> 8}) {
            std::snprintf(byte, sizeof byte, "%02x", part);
            if (out.back() != ':') out += ',';
            out += byte;
        }
    }
    return out;
}

// The bytes of "hex...:" data ("61,00,0a,00"), nothing when malformed.
std::optional<std::string> HexBytes(const std::string& data) {
    std::string bytes;
    size_t pos = 0;
    while (pos < data.size()) {
        if (pos + 2 > data.size() || !std::isxdigit(static_cast<unsigned char>(data[pos])) ||
            !std::isxdigit(static_cast<unsigned char>(data[pos + 1])))
            return std::nullopt;
        bytes += static_cast<char>(std::stoi(data.substr(pos, 2), nullptr, 16));
        pos += 2;
        if (pos < data.size() && data[pos++] != ',') return std::nullopt;
        if (pos == data.size() && data.back() == ',') return std::nullopt;
    }
    return bytes;
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

// The first free "<file>.damaged[.N]" beside the real file; an older copy is
// never replaced, since it may be the only one left of someone's settings.
bool KeepDamagedCopy(const std::string& file) {
    const std::string real = FollowLinks(file);
    for (int n = 1; n <= 99; ++n) {
        std::string copy = real + ".damaged";
        if (n > 1) {
            copy += '.';
            copy += std::to_string(n);
        }
        if (!FileExists(copy)) return CopyNoReplace(real, copy);
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
    return std::lexicographical_compare(
        a.begin(), a.end(), b.begin(), b.end(),
        [](unsigned char x, unsigned char y) { return std::tolower(x) < std::tolower(y); });
}

std::string RegistryFolder() {
    if (auto dir = GetEnv("PARCELWISE_REGISTRY_DIR")) return WithSeparator(*dir);
    if (system_registry::Available()) return std::string();
    if (auto config = GetEnv("XDG_CONFIG_HOME")) return WithSeparator(*config) + "parcelwise/";
    return WithSeparator(HomeFolder()) + ".config/parcelwise/";
}

std::string HiveFile(const std::string& folder, RegRoot root) {
    return WithSeparator(folder) + RootName(root) + ".reg";
}

Registry::Registry(RegRoot root, std::string folder)
    : root_(root), system_(folder.empty() && system_registry::Available()) {
    if (system_) return;
    file_ = HiveFile(folder, root);
    // A link to a file not made yet is where the first save goes.
    if (!FileExists(FollowLinks(file_))) return;
    // A hive is a few lines; a huge file is damage, and is not read into memory.
    File file = File::OpenRead(file_, Share::Read);
    if (!file.IsOpen()) {
        loadError_ = "cannot read " + file_;
        return;
    }
    const std::string tooLarge =
        file_ + ": larger than " + std::to_string(kMaxHiveBytes) + " bytes";
    if (file.Size() > kMaxHiveBytes) {
        loadError_ = tooLarge;
        return;
    }
    std::string text;
    char chunk[65536];
    for (;;) {
        IoResult r = file.Read(chunk, sizeof chunk);
        if (!r.ok()) {
            loadError_ = "cannot read " + file_;
            return;
        }
        text.append(chunk, static_cast<size_t>(r.bytes));
        if (static_cast<int64_t>(text.size()) > kMaxHiveBytes) {  // it grew meanwhile
            loadError_ = tooLarge;
            return;
        }
        if (static_cast<size_t>(r.bytes) < sizeof chunk) break;
    }
    Hive hive = ParseHive(text);
    if (!hive.isHive) {
        loadError_ = file_ + ": " + hive.error;
        return;
    }
    blocks_ = std::move(hive.blocks);
    keys_ = std::move(hive.keys);
}

Registry::~Registry() {
    Close();
}

std::string Registry::Resolve(const std::string& path) const {
    if (!path.empty() && path.front() == '\\') return TrimPath(path);
    if (!open_ || current_.empty()) return TrimPath(path);
    return TrimPath(current_ + "\\" + path);
}

bool Registry::KeyExists(const std::string& path) const {
    std::string full = Resolve(path);
    if (keys_.count(full)) return true;
    if (system_ && !full.empty() && system_registry::KeyExists(root_, full)) return true;
    // A key with subkeys exists even when it was never listed itself.
    std::string prefix = Lower(full) + "\\";
    return std::any_of(keys_.begin(), keys_.end(),
                       [&](const auto& entry) { return Lower(entry.first).rfind(prefix, 0) == 0; });
}

bool Registry::KeyDamaged(const std::string& path) const {
    const std::string full = Resolve(path);
    const NoCase less;
    return std::any_of(blocks_.begin(), blocks_.end(), [&](const Block& block) {
        return block.damaged && !block.path.empty() && !less(block.path, full) &&
               !less(full, block.path);
    });
}

bool Registry::OpenKey(const std::string& path, bool canCreate) {
    std::string full = Resolve(path);
    if (full.empty()) return false;
    if (!KeyExists("\\" + full)) {
        if (!canCreate) return false;
        // Like the registry, creating a key creates its missing parents.
        size_t at = 0;
        while ((at = full.find('\\', at)) != std::string::npos)
            keys_.try_emplace(full.substr(0, at++));
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

RegRead Registry::Find(const std::string& name, Value& out) const {
    if (!open_) return RegRead::Missing;
    // What was written and not saved yet comes first.
    if (auto key = keys_.find(current_); key != keys_.end()) {
        if (auto value = key->second.find(name); value != key->second.end()) {
            out = value->second;
            return RegRead::Ok;
        }
    }
    return system_ ? system_registry::ReadValue(root_, current_, name, out) : RegRead::Missing;
}

RegRead Registry::ReadInteger(const std::string& name, int32_t& out) const {
    Value value;
    if (RegRead read = Find(name, value); read != RegRead::Ok) return read;
    if (!std::holds_alternative<uint32_t>(value)) return RegRead::WrongType;
    out = static_cast<int32_t>(std::get<uint32_t>(value));
    return RegRead::Ok;
}

RegRead Registry::ReadString(const std::string& name, std::string& out) const {
    Value value;
    if (RegRead read = Find(name, value); read != RegRead::Ok) return read;
    if (!std::holds_alternative<std::string>(value)) return RegRead::WrongType;
    out = std::get<std::string>(value);
    return RegRead::Ok;
}

bool Registry::WriteInteger(const std::string& name, int32_t value) {
    if (!open_) return false;
    keys_[current_][name] = static_cast<uint32_t>(value);
    rewritten_.insert(current_);
    dirty_ = true;
    return true;
}

bool Registry::WriteString(const std::string& name, const std::string& value) {
    if (!open_) return false;
    keys_[current_][name] = value;
    rewritten_.insert(current_);
    dirty_ = true;
    return true;
}

bool Registry::DropsUnreadLines() const {
    if (!loadError_.empty()) return true;
    return std::any_of(blocks_.begin(), blocks_.end(), [&](const Block& block) {
        return block.damaged && !block.path.empty() && rewritten_.count(block.path);
    });
}

bool Registry::Close() {
    CloseKey();
    if (!dirty_) return !saveFailed_;
    dirty_ = false;
    if (system_) {
        saveFailed_ = false;
        for (const auto& [path, values] : keys_)
            if (!system_registry::WriteKey(root_, path, values)) saveFailed_ = true;
        // The registry holds them now: later reads go there.
        if (!saveFailed_) keys_.clear();
        return !saveFailed_;
    }
    const std::string text = Text();
    // Never write what the next load would refuse.
    saveFailed_ =
        static_cast<int64_t>(text.size()) > kMaxHiveBytes ||
        !(MakeFolders(FolderOf(file_)) && (!DropsUnreadLines() || KeepDamagedCopy(file_)) &&
          WriteFileAtomically(file_, text));
    if (!saveFailed_) {
        // What is on disk now is whole: a later save has nothing more to keep.
        blocks_ = ParseHive(text).blocks;
        rewritten_.clear();
        loadError_.clear();
    }
    return !saveFailed_;
}

namespace {

std::string KeyText(RegRoot root, const std::string& path, const Registry::Values& values) {
    std::string out = "[" + std::string(RootName(root)) + "\\" + path + "]\n";
    for (const auto& [name, value] : values) {
        out += name.empty() ? "@" : Quote(name);
        out += '=';
        if (std::holds_alternative<uint32_t>(value)) {
            char hex[16];
            std::snprintf(hex, sizeof hex, "%08x", std::get<uint32_t>(value));
            out += std::string("dword:") + hex;
        } else {
            out += StringText(std::get<std::string>(value));
        }
        out += '\n';
    }
    return out;
}

}  // namespace

std::string Registry::Serialize(RegRoot root, const Keys& keys) {
    std::string out = std::string(kHeaderLine) + "\n";
    for (const auto& [path, values] : keys) {
        out += '\n';
        out += KeyText(root, path, values);
    }
    return out;
}

std::string Registry::Text() const {
    std::string out = blocks_.empty() ? std::string(kHeaderLine) + "\n" : std::string();
    auto separate = [&] {
        if (out.size() >= 2 && out.compare(out.size() - 2, 2, "\n\n") != 0) out += '\n';
    };
    std::set<std::string, NoCase> inFile, written;
    for (const Block& block : blocks_) {
        if (block.path.empty()) continue;
        inFile.insert(block.path);
    }
    for (const Block& block : blocks_) {
        if (block.path.empty() || !rewritten_.count(block.path)) {
            for (const std::string& line : block.lines) out += line + "\n";
        } else if (written.insert(block.path).second) {
            // The key's values gathered from all its blocks go where its first block was.
            separate();
            out += KeyText(root_, block.path, keys_.at(block.path));
        }
    }
    for (const auto& [path, values] : keys_) {
        if (inFile.count(path)) continue;
        separate();
        out += KeyText(root_, path, values);
    }
    return out;
}

namespace {

// Splits a value line ("name"=data or @=data) at its data; false with the
// reason when the name part does not parse.
bool SplitValue(const std::string& line, std::string& name, size_t& data, std::string& why) {
    size_t pos = 0;
    name.clear();
    if (line.front() == '@') {
        pos = 1;
    } else if (!Unquote(line, pos, name)) {
        why = "bad value name";
        return false;
    }
    if (pos >= line.size() || line[pos] != '=') {
        why = "'=' expected";
        return false;
    }
    data = pos + 1;
    return true;
}

// Reads a value line into the values; false with the reason when it does not
// parse.
bool ParseValue(const std::string& line, Registry::Values& values, std::string& why) {
    std::string name;
    size_t pos = 0;
    if (!SplitValue(line, name, pos, why)) return false;
    if (line.compare(pos, 6, "dword:") == 0) {
        std::string hex = line.substr(pos + 6);
        if (hex.size() != 8 ||
            hex.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
            why = "bad dword";
            return false;
        }
        values[name] = static_cast<uint32_t>(std::stoul(hex, nullptr, 16));
        return true;
    }
    if (line.compare(pos, 7, "hex(1):") == 0) {
        auto bytes = HexBytes(line.substr(pos + 7));
        if (!bytes || bytes->size() % 2 != 0) {
            why = "bad hex(1) string";
            return false;
        }
        std::u16string units;
        for (size_t i = 0; i < bytes->size(); i += 2)
            units += static_cast<char16_t>(static_cast<unsigned char>((*bytes)[i]) |
                                           static_cast<unsigned char>((*bytes)[i + 1]) << 8);
        if (!units.empty() && units.back() == u'\0') units.pop_back();
        values[name] = FromUtf16(units);
        return true;
    }
    std::string value;
    if (!Unquote(line, pos, value) || pos != line.size()) {
        why =
            line.compare(pos, 3, "hex") == 0 ? "value of a type not read here" : "bad string value";
        return false;
    }
    values[name] = value;
    return true;
}

}  // namespace

Registry::Hive Registry::ParseHive(const std::string& text) {
    Hive hive;
    std::vector<std::string> lines;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    if (!lines.empty() && lines[0].rfind("\xEF\xBB\xBF", 0) == 0) lines[0].erase(0, 3);

    hive.blocks.emplace_back();  // the lines above the first key
    bool readsValues = false;    // the current block is a key of ours to read
    auto strip = [](std::string line) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        return line;
    };
    for (size_t i = 0; i < lines.size(); ++i) {
        Block* block = &hive.blocks.back();
        const size_t number = i + 1;
        auto bad = [&](const std::string& why) {
            block->damaged = true;
            if (hive.error.empty()) hive.error = "line " + std::to_string(number) + ": " + why;
        };
        std::string line = strip(lines[i]);
        if (line.empty() || line.front() == ';') {
            block->lines.push_back(lines[i]);
            continue;
        }
        if (!hive.isHive) {
            if (line != kHeaderLine) {
                hive.blocks.clear();
                hive.error = "line " + std::to_string(number) + ": not a registry export";
                return hive;
            }
            hive.isHive = true;
            block->lines.push_back(lines[i]);
            continue;
        }
        if (line.front() == '[') {
            block = &hive.blocks.emplace_back();
            block->lines.push_back(lines[i]);
            // A key line without its bracket still names its key, so the damage
            // is that key's and no other's.
            const bool closed = line.back() == ']';
            std::string path = line.substr(1, line.size() - (closed ? 2 : 1));
            size_t slash = path.find('\\');
            std::string rootPart = path.substr(0, slash);
            path = slash == std::string::npos ? std::string() : TrimPath(path.substr(slash));
            readsValues = false;
            if (rootPart != "HKEY_CURRENT_USER" && rootPart != "HKEY_CLASSES_ROOT") {
                bad("unknown root");
            } else if (path.empty()) {
                bad("a value cannot sit on the root");
            } else {
                block->path = path;
                hive.keys.try_emplace(path);
                readsValues = true;
                if (!closed) bad("unterminated key");
            }
            continue;
        }
        // Windows wraps long hex data over lines that end with a backslash.
        block->lines.push_back(lines[i]);
        std::string name, why;
        size_t data = 0;
        const bool hex = SplitValue(line, name, data, why) && line.compare(data, 3, "hex") == 0;
        while (hex && line.back() == '\\' && i + 1 < lines.size()) {
            block->lines.push_back(lines[++i]);
            std::string next = strip(lines[i]);
            line.pop_back();
            line += next.substr(std::min(next.find_first_not_of(" \t"), next.size()));
        }
        if (!readsValues) {
            bad("value outside a key");
            continue;
        }
        if (!ParseValue(line, hive.keys[block->path], why)) bad(why);
    }
    // We never write an empty file: one that is empty was cut short.
    if (!hive.isHive) {
        hive.blocks.clear();
        hive.error = "line " + std::to_string(lines.size()) + ": not a registry export";
    }
    return hive;
}

std::optional<Registry::Keys> Registry::Parse(const std::string& text, std::string& error) {
    Hive hive = ParseHive(text);
    if (!hive.isHive || !hive.error.empty()) {
        error = hive.error;
        return std::nullopt;
    }
    return std::move(hive.keys);
}

}  // namespace platform

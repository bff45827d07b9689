// The names and paths that the program builds and checks: text alone, no
// call to the system, the same on every system.
#include "platform/Paths.h"
#include "texts/Texts.h"

#include <algorithm>
#include <array>

namespace platform {

namespace {

bool IsControl(unsigned char c) {
    return c < 0x20 || c == 0x7F;
}

// What Windows refuses in a name besides separators and controls.
bool IsWindowsForbidden(char c) {
    return std::string_view("<>:\"|?*").find(c) != std::string_view::npos;
}

size_t LastSeparator(std::string_view path, NameRules rules) {
    for (size_t i = path.size(); i > 0; --i)
        if (IsSeparator(path[i - 1], rules)) return i - 1;
    return std::string_view::npos;
}

// Windows opens a device for these stems, with or without an extension and
// with any blanks before the extension ("nul .txt"); the superscript digits
// come in UTF-8.
bool IsDeviceName(std::string_view name) {
    std::string stem = FoldCase(name.substr(0, std::min(name.find('.'), name.size())));
    while (!stem.empty() && stem.back() == ' ') stem.pop_back();
    static constexpr std::array<std::string_view, 6> kWhole = {"con", "prn",    "aux",
                                                               "nul", "conin$", "conout$"};
    if (std::find(kWhole.begin(), kWhole.end(), stem) != kWhole.end()) return true;
    if (stem.size() < 4 || (stem.compare(0, 3, "com") != 0 && stem.compare(0, 3, "lpt") != 0))
        return false;
    const std::string_view number = std::string_view(stem).substr(3);
    return (number.size() == 1 && number[0] >= '0' && number[0] <= '9') || number == "\xC2\xB9" ||
           number == "\xC2\xB2" || number == "\xC2\xB3";
}

}  // namespace

std::string FolderOf(std::string_view path, NameRules rules) {
    const size_t slash = LastSeparator(path, rules);
    if (slash == std::string_view::npos) return std::string(".") + SeparatorOf(rules);
    return std::string(path.substr(0, slash)) + SeparatorOf(rules);
}

std::string FileNameOf(std::string_view path, NameRules rules) {
    const size_t slash = LastSeparator(path, rules);
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string WithSeparator(std::string_view folder, NameRules rules) {
    std::string f(folder);
    while (f.size() > 1 && IsSeparator(f.back(), rules) && IsSeparator(f[f.size() - 2], rules))
        f.pop_back();
    if (!f.empty() && IsSeparator(f.back(), rules))
        f.back() = SeparatorOf(rules);
    else
        f += SeparatorOf(rules);
    return f;
}

bool IsSafeFileName(std::string_view name, NameRules rules) {
    return SafeFileName(name, rules) == name;
}

std::string SafeFileName(std::string_view name, NameRules rules) {
    std::string out = SafeNamePart(name, rules);
    if (rules == NameRules::Windows && IsDeviceName(out)) out.insert(out.begin(), '_');
    return out;
}

std::string SafeNamePart(std::string_view name, NameRules rules) {
    const bool windows = rules == NameRules::Windows;
    std::string out;
    out.reserve(name.size());
    for (size_t i = 0; i < name.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(name[i]);
        // C1 controls, U+0080 to U+009F, are C2 80..9F in UTF-8.
        if (c == 0xC2 && i + 1 < name.size()) {
            unsigned char next = static_cast<unsigned char>(name[i + 1]);
            if (next >= 0x80 && next <= 0x9F) {
                out += '_';
                ++i;
                continue;
            }
        }
        // A backslash is a plain character of a Linux name, a separator on Windows.
        const bool bad = c == '/' || c == '\0' || IsControl(c) ||
                         (windows && (c == '\\' || IsWindowsForbidden(static_cast<char>(c))));
        out += bad ? '_' : static_cast<char>(c);
    }
    if (out.empty()) return "_";
    if (out.find_first_not_of('.') == std::string::npos) out.assign(out.size(), '_');
    if (windows) {
        // Windows drops them from the name it creates: the file would not be
        // found again by the name the program knows.
        for (size_t end = out.size(); end > 0 && (out[end - 1] == '.' || out[end - 1] == ' ');
             --end)
            out[end - 1] = '_';
    }
    return out;
}

std::string ForbiddenInNames(NameRules rules) {
    return texts::Say(rules == NameRules::Posix ? texts::TextId::ForbiddenInPosixNames
                                                : texts::TextId::ForbiddenInWindowsNames);
}

bool IsReservedName(std::string_view name, NameRules rules) {
    return rules == NameRules::Windows && IsDeviceName(SafeNamePart(name, rules));
}

std::string ReservedNameReason() {
    return texts::Say(texts::TextId::ReservedOnWindows);
}

std::string FoldCase(std::string_view text) {
    std::string out(text);
    for (size_t i = 0; i < out.size(); ++i) {
        auto& c = reinterpret_cast<unsigned char&>(out[i]);
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<unsigned char>(c + ('a' - 'A'));
            continue;
        }
        if (i + 1 >= out.size()) break;
        auto& next = reinterpret_cast<unsigned char&>(out[i + 1]);
        if (c == 0xC3 && next >= 0x80 && next <= 0x9E && next != 0x97) {
            next = static_cast<unsigned char>(next + 0x20);  // U+00C0..U+00DE but U+00D7
        } else if (c == 0xC5 && (next == 0x92 || next == 0xA0 || next == 0xBD)) {
            ++next;  // Œ Š Ž
        } else if (c == 0xC5 && next == 0xB8) {
            c = 0xC3;  // Ÿ, whose lower case is U+00FF
            next = 0xBF;
        }
        if (c >= 0xC0) ++i;
    }
    return out;
}

bool SameFileName(std::string_view a, std::string_view b, NameRules rules) {
    if (rules == NameRules::Posix) return a == b;
    return a.size() == b.size() && FoldCase(a) == FoldCase(b);
}

bool FileNameStartsWith(std::string_view name, std::string_view prefix, NameRules rules) {
    return name.size() >= prefix.size() &&
           SameFileName(name.substr(0, prefix.size()), prefix, rules);
}

bool EndsWithNoCase(std::string_view text, std::string_view ending) {
    return text.size() >= ending.size() &&
           FoldCase(text.substr(text.size() - ending.size())) == FoldCase(ending);
}

std::vector<std::string> ListEntries(std::string_view list, char separator) {
    std::vector<std::string> entries;
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(separator, start);
        if (end == std::string_view::npos) end = list.size();
        if (end > start) entries.emplace_back(list.substr(start, end - start));
        start = end + 1;
    }
    return entries;
}

}  // namespace platform

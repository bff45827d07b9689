#include "formats/Detect.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>

#include "formats/native/NativeSet.h"
#include "platform/File.h"
#include "platform/Fs.h"

namespace {

bool AllDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c)) != 0;
    });
}

// The text after the last dot of the name, empty when there is none.
std::string_view Extension(std::string_view name) {
    const size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string_view() : name.substr(dot + 1);
}

// The run of digits that ends the text.
std::string_view TrailingDigits(std::string_view text) {
    size_t start = text.size();
    while (start > 0 && std::isdigit(static_cast<unsigned char>(text[start - 1])) != 0) --start;
    return text.substr(start);
}

// For "film.avi.NNN.pcw": the first part of its set; empty for any other name.
std::string NativeFirstPart(const std::string& path) {
    const std::string name = platform::FileNameOf(path);
    if (!platform::EndsWithNoCase(name, ".pcw")) return std::string();
    const std::string_view stem = std::string_view(name).substr(0, name.size() - 4);
    const std::string_view number = Extension(stem);
    if (number.size() < 3 || !AllDigits(number) || number.size() == stem.size())
        return std::string();
    return platform::FolderOf(path) + std::string(stem.substr(0, stem.size() - number.size())) +
           "001" + name.substr(name.size() - 4);
}

}  // namespace

Detection DetectKind(const std::string& path) {
    Detection found;
    found.path = path;
    std::array<uint8_t, kHeaderSize> head{};
    platform::File file = platform::File::OpenRead(path, platform::Share::Read);
    const int64_t read =
        file.IsOpen() ? std::max<int64_t>(file.Read(head.data(), head.size()).bytes, 0) : 0;
    const std::string_view text(reinterpret_cast<const char*>(head.data()),
                                static_cast<size_t>(read));

    // Content first: a signature says more than any name.
    if (read == static_cast<int64_t>(kHeaderSize) && IsValidHeader(DecodeHeader(head))) {
        found.kinds = {"native"};
        found.reason = "signature Parcelwise";
        return found;
    }
    if (HasLegacyMark(head.data(), static_cast<size_t>(read))) {
        found.kinds = {"native"};
        found.reason = "marque du format 1.0 (à convertir avec pcw convert)";
        return found;
    }
    if (text.starts_with("EasySpl")) {
        found.kinds = {"easysplit"};
        found.reason = "en-tête EasySplit";
        return found;
    }
    if (text.starts_with("SpLi40")) {
        found.kinds = {"splitter40"};
        found.reason = "descripteur Splitter 4.0";
        return found;
    }
    // A folder is no part of any set, whatever its name says.
    if (platform::IsFolder(path)) return found;
    // A native part by its name, whichever part it is: the set's first part
    // then says the rest, or why it cannot be joined.
    if (const std::string first = NativeFirstPart(path); !first.empty()) {
        found.kinds = {"native"};
        found.reason = "nom en .NNN.pcw";
        found.path = first;
        return found;
    }

    // Then the naming rules.
    const std::string name = platform::FileNameOf(path);
    const std::string_view extension = Extension(name);
    if (const size_t mark = extension.rfind("__");
        mark != std::string_view::npos && AllDigits(extension.substr(mark + 2))) {
        found.kinds = {"maxsplit"};
        found.reason = "nom en __NNN";
        return found;
    }
    // What stands before the number that ends the name, folder included:
    // "dir/film.avi.kk" for "dir/film.avi.kk3".
    const std::string_view digits = TrailingDigits(extension);
    const std::string stem = path.substr(0, path.size() - digits.size());
    const std::string_view letters = extension.substr(0, extension.size() - digits.size());
    if (!digits.empty() && platform::FoldCase(letters) == "kk") {
        // KFK numbers from 0 without padding: kk0, kk1 ... kk10.
        found.kinds = {"kfk"};
        found.reason = "nom en .kk0";
        if (digits != "0" && platform::IsRegularFile(stem + "0")) found.path = stem + "0";
        return found;
    }
    if (digits.size() >= 2 && platform::FoldCase(letters) == "d") {
        // D-Koup numbers from D00, Découpeur from D01, on two digits at least.
        found.kinds = {"dkoup"};
        found.reason = std::string("nom en .D").append(digits);
        for (const char* first : {"00", "01"}) {
            if (digits == first) break;
            if (platform::IsRegularFile(stem + first)) {
                found.path = stem + first;
                found.reason = std::string("nom en .D").append(first);
                break;
            }
        }
        return found;
    }
    if (extension.size() == 1 && AllDigits(extension)) {
        // Koup Koup numbers from 1 without padding; a set that has a part 0
        // is a plain numbered one, which Koup Koup would join without it.
        found.reason = "nom en .N, à un chiffre";
        if (extension != "0" && !platform::FileExists(stem + "0")) found.kinds = {"koupkoup"};
        found.kinds.push_back("generic");
        return found;
    }
    const bool numbered =
        extension.size() >= 2 &&
        (AllDigits(extension) ||
         (platform::FoldCase(extension.substr(0, 1)) == "u" && AllDigits(extension.substr(1))));
    if (!numbered) return found;
    // A later Koup Koup part: an unpadded number beside the set's part 1.
    if (AllDigits(extension) && extension[0] != '0' && platform::IsRegularFile(stem + "1"))
        found.kinds.push_back("koupkoup");
    // A three-digit part whose first bytes read as a Cutkiller header.
    const bool cutkillerHeader = read >= 8 && extension.size() == 3 && AllDigits(extension) &&
                                 AllDigits(text.substr(5, 3)) && text.substr(5, 3) != "000";
    if (cutkillerHeader) found.kinds.push_back("cutkiller");
    found.kinds.push_back("generic");
    found.reason = cutkillerHeader ? "nom numéroté, en-tête possible de Cutkiller" : "nom numéroté";
    return found;
}

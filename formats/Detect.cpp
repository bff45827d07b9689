#include "formats/Detect.h"

#include <array>
#include <cctype>
#include <cstring>

#include "formats/native/UzelParcelwise.h"
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

bool EndsWithNoCase(std::string_view text, std::string_view ending) {
    if (text.size() < ending.size()) return false;
    for (size_t i = 0; i < ending.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[text.size() - ending.size() + i])) !=
            ending[i])
            return false;
    return true;
}

// For "film.avi.NNN.pcw": the first part of its set; empty for any other name.
std::string NativeFirstPart(const std::string& path) {
    const std::string name = platform::FileNameOf(path);
    if (!EndsWithNoCase(name, ".pcw")) return std::string();
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
    const int64_t read = file.IsOpen() ? file.Read(head.data(), head.size()).bytes : 0;
    const std::string_view text(reinterpret_cast<const char*>(head.data()),
                                static_cast<size_t>(std::max<int64_t>(read, 0)));

    // Content first: a signature says more than any name.
    if (read == static_cast<int64_t>(kHeaderSize) && IsValidHeader(DecodeHeader(head))) {
        found.kinds = {"native"};
        found.reason = "signature Parcelwise";
        return found;
    }
    if (HasLegacyMark(head.data(), static_cast<size_t>(std::max<int64_t>(read, 0)))) {
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
    const bool numbered =
        extension.size() >= 2 &&
        (AllDigits(extension) || (std::tolower(static_cast<unsigned char>(extension[0])) == 'u' &&
                                  AllDigits(extension.substr(1))));
    if (!numbered) return found;
    // A three-digit part whose first bytes read as a Cutkiller header.
    const bool cutkillerHeader = read >= 8 && extension.size() == 3 && AllDigits(extension) &&
                                 AllDigits(text.substr(5, 3)) && text.substr(5, 3) != "000";
    if (cutkillerHeader) found.kinds.push_back("cutkiller");
    found.kinds.push_back("generic");
    found.reason = cutkillerHeader ? "nom numéroté, en-tête possible de Cutkiller" : "nom numéroté";
    return found;
}

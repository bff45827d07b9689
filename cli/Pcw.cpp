#include <algorithm>
#include <string>

#include "cli/Commands.h"
#include "core/TextEncoding.h"
#include "formats/FormatTable.h"
#include "settings/SavedSettings.h"
#include "texts/Texts.h"

namespace cli {

using texts::Say;
using texts::TextId;

namespace {

// The option descriptions start in this column and their lines end by this width.
constexpr size_t kDescriptionColumn = 20;
constexpr size_t kHelpWidth = 80;

// `lead` followed by `words`, carried over to lines of their own under the
// descriptions' column when they would pass the width.
std::string Wrapped(std::string lead, const std::vector<std::string>& words) {
    std::string text;
    std::string line = std::move(lead);
    for (const std::string& word : words) {
        if (Utf8Length(line) + 1 + Utf8Length(word) > kHelpWidth) {
            text += line;
            text += '\n';
            line.assign(kDescriptionColumn, ' ');
            line += word;
        } else {
            line += ' ';
            line += word;
        }
    }
    text += line;
    text += '\n';
    return text;
}

std::string BufferOption(uint32_t byDefault) {
    std::vector<std::string> words;
    for (size_t i = 0; i < kBufferSizes.size(); ++i) {
        const bool last = i + 1 == kBufferSizes.size();
        if (last) words.push_back(Say(TextId::HelpLastOfList));
        words.push_back(std::to_string(kBufferSizes[i]) +
                        (last || i + 2 == kBufferSizes.size() ? "" : ","));
    }
    words.push_back(Say(TextId::HelpByDefault, {std::to_string(byDefault)}));
    return Wrapped(Say(TextId::HelpBufferLead), words);
}

std::string FormatOption() {
    const std::vector<std::string_view> names = CliFormatNames();
    std::vector<std::string> words;
    for (size_t i = 0; i < names.size(); ++i)
        words.push_back(std::string(names[i]) + (i + 1 == names.size() ? "" : ","));
    return Wrapped(Say(TextId::HelpFormatLead), words);
}

}  // namespace

std::string HelpText(const CliDefaults& defaults) {
    const bool byCount = defaults.sizeMode == kSizeModeNombre;
    // The default follows the option it belongs to, after a space.
    std::string byDefault = " ";
    byDefault += Say(TextId::HelpByDefault, {std::to_string(defaults.defaultSize)});
    return Say(TextId::HelpText,
               {kVersion, Synopsis(), byCount ? "" : byDefault, byCount ? byDefault : "",
                BufferOption(defaults.bufferSize), FormatOption()});
}

namespace {

// pcw with nothing to do in a console window of its own, which a double click
// opened and which would close before anyone read a word: the help, then a
// key to close the window.
int HelpUntilAKey(Context& ctx) {
    ctx.out << HelpText(ctx.defaults) << "\n" << Say(TextId::CliPressKeyToClose) << std::flush;
    if (ctx.waitForKey) ctx.waitForKey();
    ctx.out << "\n";
    return kExitUsage;
}

}  // namespace

int Run(const Args& args, Context& ctx) {
    if (args.empty()) {
        if (ctx.consoleIsOwnAlone && ctx.consoleIsOwnAlone()) return HelpUntilAKey(ctx);
        return UsageError(ctx, Say(TextId::CliMissingCommand));
    }
    const std::string& command = args[0];
    const Args rest(args.begin() + 1, args.end());
    const auto endOfOptions = std::find(rest.begin(), rest.end(), "--");
    const bool helpAsked = command == "--help" || command == "-h" ||
                           std::find(rest.begin(), endOfOptions, "--help") != endOfOptions;
    if (helpAsked) {
        ctx.out << HelpText(ctx.defaults);
        return kExitOk;
    }
    if (command == "--version") {
        ctx.out << kVersion << "\n";
        return kExitOk;
    }
    if (command == "split") return Split(rest, ctx);
    if (command == "join") return Join(rest, ctx);
    if (command == "info") return Info(rest, ctx);
    if (command == "verify") return Verify(rest, ctx);
    if (command == "convert") return Convert(rest, ctx);
    if (command == "protect") return Protect(rest, ctx);
    if (command == "repair") return Repair(rest, ctx);
    return UsageError(ctx, Say(TextId::CliUnknownCommand, {command}));
}

}  // namespace cli

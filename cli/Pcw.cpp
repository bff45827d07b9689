#include <algorithm>
#include <string>

#include "cli/Commands.h"
#include "core/TextEncoding.h"
#include "formats/FormatTable.h"
#include "settings/SavedSettings.h"

namespace cli {

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
        if (last) words.push_back("ou");
        words.push_back(std::to_string(kBufferSizes[i]) +
                        (last || i + 2 == kBufferSizes.size() ? "" : ","));
    }
    std::string byDefaultWord = "(";
    byDefaultWord += std::to_string(byDefault);
    byDefaultWord += " par défaut)";
    words.push_back(std::move(byDefaultWord));
    return Wrapped("  --buffer OCTETS   taille du buffer de copie :", words);
}

std::string FormatOption() {
    const std::vector<std::string_view> names = CliFormatNames();
    std::vector<std::string> words;
    for (size_t i = 0; i < names.size(); ++i)
        words.push_back(std::string(names[i]) + (i + 1 == names.size() ? "" : ","));
    return Wrapped("  --format TYPE     impose le type du jeu :", words);
}

}  // namespace

std::string HelpText(const CliDefaults& defaults) {
    const bool byCount = defaults.sizeMode == kSizeModeNombre;
    const std::string size = std::to_string(defaults.defaultSize);
    return std::string(kVersion) +
           " : coupe un fichier en un jeu de fichiers et recolle les jeux.\n\n" + Synopsis() +
           "\n"
           "Commandes :\n"
           "  split    coupe SOURCE en NOM.001.pcw, NOM.002.pcw... dans le dossier de SOURCE\n"
           "  join     recolle le jeu dont MORCEAU est l'un des fichiers\n"
           "  info     décrit le jeu sans rien écrire\n"
           "  verify   vérifie chaque fichier du jeu (présence, taille, Hash MD5)\n"
           "           sans rien écrire\n"
           "  convert  convertit un jeu du format 1.0 au format 1.1\n"
           "           (réécrit son premier fichier)\n"
           "\n"
           "Options :\n"
           "  --size MO         taille de chaque fichier en Mo, de 1 à 999" +
           (byCount ? "" : " (" + size + " par défaut)") +
           "\n"
           "  --count N         nombre de fichiers, de 1 à 999" +
           (byCount ? " (" + size + " par défaut)" : "") +
           "\n"
           "  --bytes N         taille exacte de chaque fichier en octets, de 1 à 2147483647\n"
           "  --md5             ajoute au dernier fichier le Hash MD5 de chaque fichier\n"
           "  --name NOM        nom de destination (par défaut : le nom du fichier source,\n"
           "                    ou pour join le nom enregistré dans le jeu)\n"
           "  --store-name NOM  nom enregistré dans le jeu (par défaut : le nom de SOURCE)\n"
           "  --folder DOSSIER  dossier de destination (par défaut : celui de la source)\n" +
           BufferOption(defaults.bufferSize) + FormatOption() +
           "  --no-verify       recolle sans contrôler les Hash MD5 du jeu\n"
           "\n"
           "Les messages s'affichent sur la sortie d'erreur, précédés de leur titre.\n"
           "Code de sortie : 0 succès, 1 opération refusée ou échouée,\n"
           "                 2 mauvaise utilisation.\n";
}

int Run(const Args& args, Context& ctx) {
    if (args.empty()) return UsageError(ctx, "commande manquante");
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
    return UsageError(ctx, "commande inconnue : " + command);
}

}  // namespace cli

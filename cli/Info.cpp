#include <cstdio>
#include <ctime>
#include <string>

#include "cli/Commands.h"
#include "core/ParcelTools.h"
#include "formats/native/UzelParcelwise.h"
#include "platform/Clock.h"

namespace cli {

namespace {

std::string DateText(double dayCount) {
    const std::tm date = platform::FromDateTime(dayCount);
    char text[48];
    std::snprintf(text, sizeof text, "%02d/%02d/%04d", date.tm_mday, date.tm_mon + 1,
                  date.tm_year + 1900);
    return text;
}

}  // namespace

int Info(const Args& args, Context& ctx) {
    const Parsed parsed = ParseOptions(args, {{"--format", true}}, 1);
    if (!parsed.error.empty()) return UsageError(ctx, parsed.error);
    if (std::optional<int> refused = RefuseFormat(parsed, ctx)) return *refused;

    TzelParcelwise job;
    if (!OpenFirstPart(job, parsed.positionals[0])) return kExitFailed;
    const TzelHeader& header = job.header;
    ctx.out << "Nom d'origine : " << header.originalName << "\n"
            << "Taille d'origine : " << header.originalSize << " octets ("
            << FormatSize(header.originalSize) << ")\n"
            << "Nombre de fichiers : " << header.partCount << "\n"
            << "Date du découpage : " << DateText(header.splitDate) << "\n"
            << "Hash MD5 : " << (header.hasDigests == 1 ? "oui" : "non") << "\n";
    return kExitOk;
}

}  // namespace cli

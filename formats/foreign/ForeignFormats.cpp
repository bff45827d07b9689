#include "formats/foreign/ForeignFormats.h"

#include <array>

#include "formats/foreign/UzelCutkiller.h"
#include "formats/foreign/UzelDKOUP.h"
#include "formats/foreign/UzelES.h"
#include "formats/foreign/UzelGenerik.h"
#include "formats/foreign/UzelKFK.h"
#include "formats/foreign/UzelKoupKoup.h"
#include "formats/foreign/UzelMaxSplit.h"
#include "formats/foreign/UzelSplitter40.h"

namespace {

template <typename Job>
std::unique_ptr<TzelFichier> Make() {
    return std::make_unique<Job>();
}

struct Entry {
    std::string_view kind;
    std::unique_ptr<TzelFichier> (*make)();
};

// In the order of the join dialog's entries 2 to 9.
constexpr std::array<Entry, 8> kFormats = {{
    {"cutkiller", Make<TzelCutkiller>},
    {"generic", Make<TzelGenerik>},
    {"dkoup", Make<TzelDKOUP>},
    {"kfk", Make<TzelKFK>},
    {"easysplit", Make<TzelES>},
    {"koupkoup", Make<TzelKoupKoup>},
    {"splitter40", Make<TzelSplit40>},
    {"maxsplit", Make<TzelMaxSplit>},
}};

constexpr int kFirstForeignEntry = 2;
constexpr int kUnknownFormatEntry = 10;

}  // namespace

std::unique_ptr<TzelFichier> CreateForeignJob(std::string_view kind) {
    for (const Entry& entry : kFormats)
        if (entry.kind == kind) return entry.make();
    return nullptr;
}

std::unique_ptr<TzelFichier> CreateJoinJobForFilter(int index) {
    if (index == kUnknownFormatEntry) return CreateForeignJob("generic");
    const int at = index - kFirstForeignEntry;
    if (at < 0 || at >= static_cast<int>(kFormats.size())) return nullptr;
    return kFormats[static_cast<size_t>(at)].make();
}

#include "formats/foreign/ForeignFormats.h"

#include "formats/FormatTable.h"

namespace {

std::unique_ptr<TzelFichier> MakeForeign(const FormatRow* row) {
    if (row == nullptr || row->code == FormatKind::Parcelwise) return nullptr;
    return row->make();
}

}  // namespace

std::unique_ptr<TzelFichier> CreateForeignJob(std::string_view kind) {
    return MakeForeign(FormatOfCliName(kind));
}

std::unique_ptr<TzelFichier> CreateJoinJobForFilter(int index) {
    return MakeForeign(FormatOfJoinEntry(index));
}

#include "ui/JobFactory.h"
#include "ui/UiTexts.h"

#include "core/Job.h"
#include "formats/FormatTable.h"
#include "formats/native/NativeSet.h"
#include "formats/plain/PlainSet.h"

namespace {

DialogFilter ToFilter(const FileTypeEntry& entry) {
    return {
        QString::fromUtf8(entry.label.data(), static_cast<qsizetype>(entry.label.size())),
        QString::fromUtf8(entry.patterns.data(), static_cast<qsizetype>(entry.patterns.size()))};
}

}  // namespace

QList<DialogFilter> SplitFilters() {
    QList<DialogFilter> filters;
    for (const FileTypeEntry& entry : SplitFileTypes()) filters.append(ToFilter(entry));
    return filters;
}

std::unique_ptr<Job> CreateSplitJob(bool plain) {
    if (plain) return std::make_unique<PlainSet>();
    return std::make_unique<NativeSet>();
}

QList<DialogFilter> JoinFilters() {
    QList<DialogFilter> filters;
    // Any part of a native set names its set, not only the first.
    QStringList any{"*.pcw"};
    for (const FormatRow& row : JoinFormats()) {
        filters.append(ToFilter(row.entry));
        for (const QString& pattern : filters.back().patterns.split(';', Qt::SkipEmptyParts))
            if (!any.contains(pattern) && !pattern.endsWith(".pcw")) any.append(pattern);
    }
    filters.prepend({UiText(TextId::FilterAnyKnownSet), any.join(';')});
    return filters;
}

std::unique_ptr<Job> CreateJoinJob(int index) {
    const FormatRow* row = FormatOfJoinEntry(index - kAnyKnownSetEntry);
    return row ? row->make() : nullptr;
}

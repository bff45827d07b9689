#include "core/FreeSpace.h"

#include "core/DisplayNumbers.h"
#include "platform/Fs.h"
#include "texts/Texts.h"

std::string NotEnoughSpaceText(const std::string& volume, int64_t freeBytes, int64_t neededBytes) {
    return texts::Say(texts::TextId::NotEnoughSpace,
                      {volume, FormatSize(freeBytes), FormatSize(neededBytes),
                       FormatSize(neededBytes - freeBytes)});
}

bool CheckFreeSpace(const std::string& folder, int64_t neededBytes, Messages& said) {
    const int64_t freeBytes = platform::FreeSpace(folder);
    if (neededBytes < freeBytes) return true;
    // A disk is named by where it is mounted, as a drive letter would name it.
    said.push_back({NotEnoughSpaceText(platform::VolumeOf(folder), freeBytes, neededBytes),
                    texts::Say(texts::TextId::TitleProgram), platform::Icon::Warning});
    return false;
}

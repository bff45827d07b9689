#include "core/FreeSpace.h"

#include "core/DisplayNumbers.h"
#include "platform/Fs.h"

std::string NotEnoughSpaceText(const std::string& volume, int64_t freeBytes, int64_t neededBytes) {
    return "Il n'y a pas assez d'espace sur le disque dur ( " + volume +
           ": ) !\n\r\n\rLibre : " + FormatSize(freeBytes) +
           " | Nécessaire : " + FormatSize(neededBytes) +
           " | Besoin : " + FormatSize(neededBytes - freeBytes);
}

bool CheckFreeSpace(const std::string& folder, int64_t neededBytes, Messages& said) {
    const int64_t freeBytes = platform::FreeSpace(folder);
    if (neededBytes < freeBytes) return true;
    // A disk is named by where it is mounted, as a drive letter would name it.
    said.push_back({NotEnoughSpaceText(platform::VolumeOf(folder), freeBytes, neededBytes),
                    "-=Parcelwise=-", platform::Icon::Warning});
    return false;
}

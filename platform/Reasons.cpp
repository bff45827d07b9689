#include "platform/Reasons.h"

#include "platform/Errors.h"
#include "platform/File.h"
#include "texts/Texts.h"

namespace platform {

using texts::Say;
using texts::TextId;

std::string ErrorReason(int error) {
    switch (error) {
        case EACCES:
        case EPERM:
            return Say(TextId::ReasonPermissionDenied);
        case ENOSPC:
        case EDQUOT:
            return Say(TextId::ReasonDiskFull);
        case ENAMETOOLONG:
            return Say(TextId::ReasonNameTooLong);
        case EROFS:
            return Say(TextId::ReasonReadOnlyFileSystem);
        case EBUSY:
        case EWOULDBLOCK:
        case ETXTBSY:
            return Say(TextId::ReasonFileBusy);
        case ENOENT:
            return Say(TextId::ReasonNotFound);
        case ENOTDIR:
            return Say(TextId::ReasonNotAFolderOnPath);
        case EISDIR:
            return Say(TextId::ReasonIsAFolder);
        case EEXIST:
            return Say(TextId::ReasonFileExists);
        case EIO:
            return Say(TextId::ReasonInputOutput);
        case EINVAL:
            // What the file layer answers for a pipe, a device or a socket.
            return Say(TextId::ReasonNotARegularFile);
        case ELOOP:
            return Say(TextId::ReasonSymbolicLink);
        case ESTALE:
            return Say(TextId::ReasonChangedMeanwhile);
        case EFBIG:
            return Say(TextId::ReasonFileTooLarge);
        case EMFILE:
        case ENFILE:
            return Say(TextId::ReasonTooManyOpenFiles);
        case ENOMEM:
            return Say(TextId::ReasonOutOfMemory);
        case EXDEV:
            return Say(TextId::ReasonOtherDisk);
        case 0:
            return Say(TextId::ReasonUnknown);
        default:
            return Say(TextId::ReasonSystemError, {std::to_string(error)});
    }
}

std::string ReasonLine(std::string_view path, int error) {
    std::string line = Say(TextId::ReasonLine, {path, ErrorReason(error)});
    // A file held by another job: which one, where the system tells.
    if (error == EBUSY) {
        const std::string holder = LockHolderOf(std::string(path));
        if (!holder.empty()) line += Say(TextId::HeldByLine, {holder});
    }
    return line;
}

std::string CreationFailure(std::string_view listedText, std::string_view path, int error) {
    const bool listed = error == EEXIST || error == EROFS || error == EACCES || error == EPERM;
    std::string text(listedText);
    if (!listed) {
        const size_t colon = text.find(" : ");
        if (colon != std::string::npos) text = text.substr(0, colon) + ".";
    }
    return text + ReasonLine(path, error);
}

}  // namespace platform

#include "platform/Reasons.h"

#include "platform/Errors.h"
#include "platform/File.h"

namespace platform {

std::string ErrorReason(int error) {
    switch (error) {
        case EACCES:
        case EPERM:
            return "permission refusée";
        case ENOSPC:
        case EDQUOT:
            return "disque plein";
        case ENAMETOOLONG:
            return "nom trop long";
        case EROFS:
            return "système de fichiers en lecture seule";
        case EBUSY:
        case EWOULDBLOCK:
        case ETXTBSY:
            return "fichier utilisé par une autre opération";
        case ENOENT:
            return "fichier ou dossier introuvable";
        case ENOTDIR:
            return "un élément du chemin n'est pas un dossier";
        case EISDIR:
            return "c'est un dossier";
        case EEXIST:
            return "le fichier existe déjà";
        case EIO:
            return "erreur d'entrée-sortie du disque";
        case EINVAL:
            // What the file layer answers for a pipe, a device or a socket.
            return "ce n'est pas un fichier ordinaire";
        case ELOOP:
            return "le nom désigne un lien symbolique";
        case ESTALE:
            return "le fichier a changé ou a été remplacé pendant l'opération";
        case EFBIG:
            return "fichier trop grand pour ce système de fichiers";
        case EMFILE:
        case ENFILE:
            return "trop de fichiers ouverts";
        case ENOMEM:
            return "mémoire insuffisante";
        case EXDEV:
            return "les deux noms ne sont pas sur le même disque";
        case 0:
            return "cause inconnue";
        default:
            return "erreur système n° " + std::to_string(error);
    }
}

std::string ReasonLine(std::string_view path, int error) {
    std::string line = "\n\r" + std::string(path) + " : " + ErrorReason(error);
    // A file held by another job: which one, where the system tells.
    if (error == EBUSY) {
        const std::string holder = LockHolderOf(std::string(path));
        if (!holder.empty()) line += " (" + holder + ")";
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

#include "core/CheckedPart.h"

#include <optional>

bool CheckedPart::Open(const std::string& path) {
    path_ = path;
    file_ = platform::File::OpenRead(path);
    const std::optional<platform::FileIdentity> identity = file_.Identity();
    if (!identity) {
        file_.Close();
        return false;
    }
    identity_ = *identity;
    return true;
}

bool CheckedPart::Reopen() {
    if (!file_.IsOpen()) file_ = platform::File::OpenRead(path_);
    return file_.IsOpen();
}

bool CheckedPart::Unchanged() const {
    return file_.Identity() == identity_ && platform::IdentityOf(path_) == identity_;
}

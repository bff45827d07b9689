// No system registry here: every root lives in its hive file.
#include "platform/SystemRegistry.h"

namespace platform::system_registry {

bool Available() {
    return false;
}

bool KeyExists(RegRoot, const std::string&) {
    return false;
}

RegRead ReadValue(RegRoot, const std::string&, const std::string&, Registry::Value&) {
    return RegRead::Missing;
}

bool WriteKey(RegRoot, const std::string&, const Registry::Values&) {
    return false;
}

}  // namespace platform::system_registry

// The system's own registry, where the system has one: the store of a
// Registry given no folder. Windows has it, and there a Registry for
// RegRoot::ClassesRoot works under HKEY_CURRENT_USER\Software\Classes, which
// Windows shows the user as HKEY_CLASSES_ROOT: the merged root itself takes
// administrator rights to write. Other systems have none, and keep every root
// in a hive file.
#pragma once

#include <string>

#include "platform/Registry.h"

namespace platform::system_registry {

bool Available();
// Paths are below the root, without a leading backslash.
bool KeyExists(RegRoot root, const std::string& path);
// Missing when the key or the value is not there (or cannot be read), WrongType
// for a type other than REG_DWORD and REG_SZ.
RegRead ReadValue(RegRoot root, const std::string& path, const std::string& name,
                  Registry::Value& out);
// Creates the key and its missing parents, and writes the values into it;
// false when the key or a value could not be written.
bool WriteKey(RegRoot root, const std::string& path, const Registry::Values& values);

}  // namespace platform::system_registry

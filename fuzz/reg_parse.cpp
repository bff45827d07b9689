// A settings hive file as a user's editor or a damaged disk may leave it.
// Parsing ends cleanly, and what it accepts is written back into a text that
// reads back the same.
#include <string>

#include "fuzz/FuzzFiles.h"
#include "platform/Registry.h"

using platform::Registry;
using platform::RegRoot;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::string error;
    const auto keys = Registry::Parse(text, error);
    if (!keys) return 0;
    const std::string written = Registry::Serialize(RegRoot::CurrentUser, *keys);
    const auto again = Registry::Parse(written, error);
    fuzzing::Expect(again.has_value(), "a parsed hive does not read back: " + error);
    fuzzing::Expect(*again == *keys, "a parsed hive reads back otherwise");
    return 0;
}

// pcw's answers for scripts (--json): one object per answer, written key by
// key in the order given. Texts come out as JSON requires them: quotes,
// backslashes and control characters escaped, and any byte that is no part
// of a UTF-8 character (a name read from a disk) replaced by U+FFFD.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

// `text` as a JSON string, quotes included.
std::string JsonString(std::string_view text);
// The items, each already JSON, as an array.
std::string JsonArray(const std::vector<std::string>& items);

class JsonObject {
public:
    JsonObject& Text(std::string_view key, std::string_view value);
    JsonObject& Number(std::string_view key, int64_t value);
    JsonObject& Flag(std::string_view key, bool value);
    JsonObject& Null(std::string_view key);
    // A value already written as JSON: an object, an array.
    JsonObject& Json(std::string_view key, std::string_view json);
    // The object, braces included.
    std::string Written() const { return "{" + members_ + "}"; }

private:
    JsonObject& Member(std::string_view key, std::string_view json);
    std::string members_;
};

}  // namespace cli

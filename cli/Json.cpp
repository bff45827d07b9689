#include "cli/Json.h"

#include <cstdio>

namespace cli {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// The length of the UTF-8 character at `at`, 0 when the bytes there are none
// (a stray continuation byte, an overlong or cut sequence, a surrogate).
size_t CharacterLength(std::string_view text, size_t at) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) return 1;
    size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // the bounds of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (at + length > text.size()) return 0;
    if (byte(at + 1) < low || byte(at + 1) > high) return 0;
    for (size_t i = 2; i < length; ++i)
        if ((byte(at + i) & 0xC0) != 0x80) return 0;
    return length;
}

}  // namespace

std::string JsonString(std::string_view text) {
    std::string json = "\"";
    for (size_t at = 0; at < text.size();) {
        const char c = text[at];
        const size_t length = CharacterLength(text, at);
        if (length == 0) {
            json += kReplacement;
            ++at;
            continue;
        }
        if (length > 1) {
            json.append(text.substr(at, length));
        } else if (c == '"' || c == '\\') {
            json += '\\';
            json += c;
        } else if (c == '\n') {
            json += "\\n";
        } else if (c == '\r') {
            json += "\\r";
        } else if (c == '\t') {
            json += "\\t";
        } else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned char>(c));
            json += escaped;
        } else {
            json += c;
        }
        at += length;
    }
    return json + "\"";
}

std::string JsonArray(const std::vector<std::string>& items) {
    std::string json = "[";
    for (size_t i = 0; i < items.size(); ++i) json += (i == 0 ? "" : ",") + items[i];
    return json + "]";
}

JsonObject& JsonObject::Member(std::string_view key, std::string_view json) {
    if (!members_.empty()) members_ += ',';
    members_ += JsonString(key);
    members_ += ':';
    members_ += json;
    return *this;
}

JsonObject& JsonObject::Text(std::string_view key, std::string_view value) {
    return Member(key, JsonString(value));
}

JsonObject& JsonObject::Number(std::string_view key, int64_t value) {
    return Member(key, std::to_string(value));
}

JsonObject& JsonObject::Flag(std::string_view key, bool value) {
    return Member(key, value ? "true" : "false");
}

JsonObject& JsonObject::Null(std::string_view key) {
    return Member(key, "null");
}

JsonObject& JsonObject::Json(std::string_view key, std::string_view json) {
    return Member(key, json);
}

}  // namespace cli

// The texts of pcw's answers for scripts, as JSON must hold them.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "cli/Json.h"

namespace {

TEST(JsonString, EscapesWhatJsonRequiresAndReplacesWhatIsNoUtf8) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"film.avi", "\"film.avi\""},
        {"Vidéos/été €.avi", "\"Vidéos/été €.avi\""},
        {"a\"b\\c", "\"a\\\"b\\\\c\""},
        {"l1\nl2\r\t", "\"l1\\nl2\\r\\t\""},
        {std::string("nul\0x", 5), "\"nul\\u0000x\""},
        {"\x1b[2J\x7f", "\"\\u001b[2J\\u007f\""},
        {"\xf0\x9f\x93\xbc", "\"\xf0\x9f\x93\xbc\""},                  // four bytes
        {"caf\xe9", "\"caf\xef\xbf\xbd\""},                            // Windows-1252, not UTF-8
        {"\x80x", "\"\xef\xbf\xbdx\""},                                // a continuation alone
        {"\xc0\xaf", "\"\xef\xbf\xbd\xef\xbf\xbd\""},                  // overlong
        {"\xed\xa0\x80", "\"\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\""},  // a surrogate
        {"\xe2\x82", "\"\xef\xbf\xbd\xef\xbf\xbd\""},                  // cut short
        {"\xf4\x90\x80\x80",
         "\"\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\""},  // past U+10FFFF
    };
    for (const auto& [text, json] : cases) EXPECT_EQ(cli::JsonString(text), json) << text;
}

TEST(JsonObject, MembersInTheOrderGiven) {
    cli::JsonObject object;
    object.Text("name", "a\"b").Number("size", -1).Flag("digests", true).Null("date");
    object.Json("parts", cli::JsonArray({"1", "{}"}));
    EXPECT_EQ(object.Written(),
              "{\"name\":\"a\\\"b\",\"size\":-1,\"digests\":true,\"date\":null,\"parts\":[1,{}]}");
    EXPECT_EQ(cli::JsonObject().Written(), "{}");
    EXPECT_EQ(cli::JsonArray({}), "[]");
}

}  // namespace

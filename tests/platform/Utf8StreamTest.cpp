// What the Windows console is given must be whole characters, however the
// program's writes cut its UTF-8; nothing may be lost or held for good.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "platform/Utf8Stream.h"

namespace {

using platform::Utf8StreamBuffer;
using platform::WholeUtf8Length;

TEST(Utf8Stream, WholeLengthLeavesOutOnlyAnUnfinishedLastSequence) {
    struct Case {
        std::string bytes;
        size_t whole;
    };
    const Case cases[] = {
        {"", 0},
        {"abc", 3},
        {"cr\xC3\xA9\xC3\xA9", 6},  // "créé"
        {"cr\xC3", 2},              // "é" cut after its lead
        {"n\xC2\xB0 \xE2\x82", 4},  // "n° " and two bytes of "€"
        {"\xF0\x9F\x98", 0},        // three bytes of a four-byte emoji
        {"\xF0\x9F\x98\x80", 4},    // the whole emoji
        {"a\x80", 2},               // a stray continuation byte
        {"\x80\x80\x80\x80", 4},    // nothing but continuation bytes
        {"a\xFF", 2},               // a byte that starts no sequence
        {"a\xC0", 2},               // an overlong lead, never valid
        {"\xE2\x82\xAC\x80", 4},    // "€" and one continuation too many
    };
    for (const Case& c : cases) EXPECT_EQ(WholeUtf8Length(c.bytes), c.whole) << c.bytes;
}

// Records every piece the device is given.
struct Device {
    std::vector<std::string> pieces;
    Utf8StreamBuffer::Writer Writer() {
        return [this](std::string_view bytes) {
            pieces.emplace_back(bytes);
            return true;
        };
    }
    std::string All() const {
        std::string all;
        for (const auto& piece : pieces) all += piece;
        return all;
    }
};

TEST(Utf8Stream, CharactersWrittenByteByByteReachTheDeviceWhole) {
    Device device;
    const std::string text =
        "Le fichier a \xC3\xA9t\xC3\xA9 coup\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80\n";
    {
        Utf8StreamBuffer buffer(device.Writer());
        std::ostream out(&buffer);
        out << std::unitbuf;
        for (char c : text) out << c;
        EXPECT_TRUE(out.good());
    }
    EXPECT_EQ(device.All(), text);
    for (const auto& piece : device.pieces) {
        EXPECT_EQ(WholeUtf8Length(piece), piece.size());
        EXPECT_NE(static_cast<unsigned char>(piece[0]) & 0xC0, 0x80) << "starts inside a character";
    }
}

TEST(Utf8Stream, AHeldLeadGoesOutWithTheNextWriteOrAtTheEnd) {
    Device device;
    Utf8StreamBuffer buffer(device.Writer());
    std::ostream out(&buffer);
    out << "ab\xC3" << std::flush;
    EXPECT_EQ(device.All(), "ab");
    // What follows cannot complete it: the lead goes out with it, for the
    // converter to show as a replacement character.
    out << "X";
    EXPECT_EQ(device.All(), "ab\xC3X");
    out << "\xE2\x82";
    buffer.Finish();
    EXPECT_EQ(device.All(), "ab\xC3X\xE2\x82");
}

TEST(Utf8Stream, AFailingDeviceFailsTheStream) {
    Utf8StreamBuffer buffer([](std::string_view) { return false; });
    std::ostream out(&buffer);
    out << "Erreur";
    EXPECT_TRUE(out.bad());
}

TEST(Utf8Stream, WritesFromTwoThreadsStayWhole) {
    Device device;
    Utf8StreamBuffer buffer(device.Writer());
    std::ostream out(&buffer);
    const auto write = [&out](const char* line) {
        for (int i = 0; i < 500; ++i) out << line;
    };
    std::thread first(write, "\xC3\xA9t\xC3\xA9\n");
    std::thread second(write, "co\xC3\xBBt\n");
    first.join();
    second.join();
    size_t lines = 0;
    std::string all = device.All();
    for (size_t at = 0; at < all.size();) {
        const size_t end = all.find('\n', at);
        ASSERT_NE(end, std::string::npos);
        const std::string line = all.substr(at, end - at);
        EXPECT_TRUE(line == "\xC3\xA9t\xC3\xA9" || line == "co\xC3\xBBt") << line;
        ++lines;
        at = end + 1;
    }
    EXPECT_EQ(lines, 1000u);
}

}  // namespace

// SHA-256 of the system's library, on both systems: the digests of FIPS 180-4's
// examples, whatever the blocks the data comes in, and a hash that starts
// again once finished.
#include <gtest/gtest.h>

#include <string>

#include "platform/Sha256.h"

namespace {

std::string Hex(const platform::Sha256Digest& digest) {
    static const char kHex[] = "0123456789abcdef";
    std::string text;
    for (const uint8_t byte : digest) text += {kHex[byte >> 4], kHex[byte & 0x0F]};
    return text;
}

struct Vector {
    std::string data;
    size_t piece;  // the bytes given at each Add
    const char* digest;
};

TEST(Sha256, GivesTheStandardDigestsInAnyPieces) {
    const std::string million(1000000, 'a');
    const Vector vectors[] = {
        {"", 1, "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", 1, "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq", 7,
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {million, 65537, "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
        {million, 1000000, "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    platform::Sha256 hash;
    ASSERT_TRUE(hash.Ready());
    for (const Vector& v : vectors) {
        for (size_t at = 0; at < v.data.size(); at += v.piece)
            hash.Add(v.data.data() + at, std::min(v.piece, v.data.size() - at));
        platform::Sha256Digest digest{};
        ASSERT_TRUE(hash.Finish(digest));
        EXPECT_EQ(Hex(digest), v.digest) << v.data.size() << " bytes in pieces of " << v.piece;
    }
}

}  // namespace

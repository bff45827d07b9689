// The 104-byte header of a native set, byte for byte, and what the opening of a
// first part accepts, refuses or proposes to convert.
#include <gtest/gtest.h>

#include <cstring>

#include "NativeJobs.h"
#include "platform/Clock.h"

using namespace nativetest;

namespace {

std::string Bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) out += static_cast<char>(v);
    return out;
}

// A header assembled from the layout by hand, with nothing of the code under test.
std::string HandMadeHeader(const std::string& cp1252Name, uint8_t hasDigests, int32_t count,
                           int64_t size, double date) {
    std::string h;
    h += '\x0A' + std::string("Parcelwise") + std::string(10, '\0');  // 0: 1 + 20
    h += '\x03' + std::string("1.1") + std::string(7, '\0');          // 21: 1 + 10
    uint64_t dateBits;
    std::memcpy(&dateBits, &date, 8);
    for (int i = 0; i < 8; ++i) h += static_cast<char>(dateBits >> (8 * i));  // 32
    h += static_cast<char>(cp1252Name.size()) + cp1252Name +
         std::string(50 - cp1252Name.size(), '\0');  // 40: 1 + 50
    h += static_cast<char>(hasDigests);              // 91
    for (int i = 0; i < 4; ++i) h += static_cast<char>(static_cast<uint32_t>(count) >> (8 * i));
    for (int i = 0; i < 8; ++i) h += static_cast<char>(static_cast<uint64_t>(size) >> (8 * i));
    return h;
}

NativeHeader ValidHeader() {
    NativeHeader h;
    h.signature = "Parcelwise";
    h.version = "1.1";
    h.splitDate = 38418.0;
    h.originalName = "film.avi";
    h.hasDigests = 1;
    h.partCount = 3;
    h.originalSize = 10485761;
    return h;
}

}  // namespace

TEST(NativeHeader, EncodesTheLayoutByteForByte) {
    NativeHeader header = ValidHeader();
    header.originalName = "Été 2005 €.avi";
    const auto encoded = EncodeHeader(header);
    const std::string expected = HandMadeHeader("\xC9t\xE9 2005 \x80.avi", 1, 3, 10485761, 38418.0);
    ASSERT_EQ(expected.size(), 104u);
    EXPECT_EQ(std::string(encoded.begin(), encoded.end()), expected);
    // The day 38418 (7 March 2005) as the double the format stores.
    EXPECT_EQ(expected.substr(32, 8), Bytes({0, 0, 0, 0, 0x40, 0xC2, 0xE2, 0x40}));
    EXPECT_EQ(expected.substr(92, 4), Bytes({3, 0, 0, 0}));
    EXPECT_EQ(expected.substr(96, 8), Bytes({0x01, 0x00, 0xA0, 0x00, 0, 0, 0, 0}));

    const NativeHeader decoded = DecodeHeader(encoded);
    EXPECT_EQ(decoded.originalName, "Été 2005 €.avi");
    EXPECT_TRUE(EncodeHeader(decoded) == encoded);
}

TEST(NativeHeader, ALengthByteBeyondItsFieldReadsNoFurther) {
    auto bytes = EncodeHeader(ValidHeader());
    bytes[40] = 200;  // the name claims more than its 50 characters of room
    EXPECT_EQ(DecodeHeader(bytes).originalName.size(), 50u);
    EXPECT_EQ(DecodeHeader(bytes).partCount, 3);
}

TEST(NativeHeader, FiveRulesMakeAReadableHeader) {
    EXPECT_TRUE(IsValidHeader(ValidHeader()));
    const struct {
        const char* rule;
        void (*spoil)(NativeHeader&);
    } rules[] = {
        {"signature", [](NativeHeader& h) { h.signature = "Parcelwisf"; }},
        {"signature length", [](NativeHeader& h) { h.signature = "Parcelwise "; }},
        {"version", [](NativeHeader& h) { h.version = "1.0"; }},
        {"empty name", [](NativeHeader& h) { h.originalName.clear(); }},
        {"one part", [](NativeHeader& h) { h.partCount = 1; }},
        {"negative parts", [](NativeHeader& h) { h.partCount = -5; }},
        {"empty original", [](NativeHeader& h) { h.originalSize = 0; }},
        {"negative original", [](NativeHeader& h) { h.originalSize = -1; }},
    };
    for (const auto& r : rules) {
        NativeHeader h = ValidHeader();
        r.spoil(h);
        EXPECT_FALSE(IsValidHeader(DecodeHeader(EncodeHeader(h)))) << r.rule;
    }
}

TEST(NativeHeader, PartNamesHaveThreeDigitsOrMore) {
    EXPECT_EQ(NativePartName("/d/film.avi", 1), "/d/film.avi.001.pcw");
    EXPECT_EQ(NativePartName("/d/film.avi", 999), "/d/film.avi.999.pcw");
    EXPECT_EQ(NativePartName("/d/film.avi", 1000), "/d/film.avi.1000.pcw");
}

TEST_F(NativeSetTest, OpeningRefusesWhatIsNotAValidFirstPart) {
    RecordingDisplay display;
    const std::string converting =
        "Ce fichier nécessite une conversion du format 1.0 au format 1.1.";
    const std::string corrupt =
        "Le fichier Parcelwise semble être corrompu. Il n'est pas possible de le recoller.";
    const struct {
        const char* what;
        std::string content;
        std::string text, title;
        int icon;
    } cases[] = {
        {"legacy mark",
         "\x11"
         "Corvane(c) - 2004" +
             RandomBytes(200, 1),
         converting, "Conversion nécessaire", 64},
        {"random bytes", RandomBytes(500, 2), corrupt, "Fichier corrompu", 48},
        {"shorter than a header", std::string("\x0AParcelwise", 11), corrupt, "Fichier corrompu",
         48},
        // A header never written (the split writes it after the data) or a part
        // that holds nothing: the set looks interrupted.
        {"empty file", "", corrupt + kInterrupted, "Fichier corrompu", 48},
        {"header never written", std::string(5000, '\0'), corrupt + kInterrupted,
         "Fichier corrompu", 48},
        {"single part", HandMadeHeader("a", 0, 1, 10, 0) + "0123456789", corrupt,
         "Fichier corrompu", 48},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = dir / (std::string(c.what) + ".001.pcw");
        WriteFile(path, c.content);
        NativeSet job;
        const size_t before = sink.messages().size();
        EXPECT_FALSE(OpenSet(job, path, display));
        ASSERT_EQ(sink.messages().size(), before + 1);
        const ShownMessage m = sink.messages().back();
        EXPECT_EQ(m.text, c.text);
        EXPECT_EQ(m.title, c.title);
        EXPECT_EQ(m.icon, c.icon);
        EXPECT_EQ(m.owner, kOwner);
    }

    NativeSet job;
    EXPECT_FALSE(OpenSet(job, dir / "absent.001.pcw", display));
    EXPECT_EQ(sink.messages().back().text, "Impossible d'ouvrir le fichier !\n\r" +
                                               dir / "absent.001.pcw" +
                                               " : fichier ou dossier introuvable");
    EXPECT_EQ(sink.messages().back().title, "Erreur");
    EXPECT_EQ(sink.messages().back().icon, 16);
}

TEST_F(NativeSetTest, TheFirstPartCarriesTheHeaderOfItsSet) {
    RecordingDisplay display;
    const std::string name(60, 'n');
    const std::string stored = name.substr(0, 50);
    WriteFile(dir / name, RandomBytes(50000, 3));
    const double before = platform::Today();
    ASSERT_EQ(Split(dir / name, dir.path(), 20000, 16384, true), Step::Finished);
    const double after = platform::Today();

    const std::string first = ReadFile(PartPath(dir.path(), name, 1));
    const NativeHeader h = DecodeHeader(std::span<const uint8_t, kHeaderSize>(
        reinterpret_cast<const uint8_t*>(first.data()), kHeaderSize));
    EXPECT_EQ(first.substr(0, 104), HandMadeHeader(stored, 1, 3, 50000, h.splitDate));
    EXPECT_TRUE(h.splitDate == before || h.splitDate == after);

    NativeSet job;
    ASSERT_TRUE(OpenSet(job, PartPath(dir.path(), name, 1), display));
    EXPECT_EQ(job.choices.fileName, stored);
    EXPECT_EQ(job.choices.folder, dir.path());
    EXPECT_EQ(job.digests.size(), 3u);
}

// Whatever the stored name was typed or read as, the header holds a name that
// the joiner may use as it reads back: no separator, no control character.
TEST_F(NativeSetTest, TheStoredNameIsAPlainFileNameOnceDecoded) {
    const struct {
        const char* what;
        std::string typed, onDisk;
    } cases[] = {
        {"overlong slash", "x\xC0\xAFy.bin", "x__y.bin"},
        {"overlong NUL",
         "a\xC0\x80"
         "b",
         "a__b"},
        {"escape sequence", "a\x1B[2J.bin", "a_[2J.bin"},
        {"C1 control kept by the code page", "x\xC2\x81y", "x_y"},
        {"dots alone", "..", "__"},
        {"separator", "a/b", "a_b"},
    };
    const std::string sourcePath = Source(50000);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir out;
        RecordingDisplay display;
        NativeSet job;
        PrepareSplit(job, sourcePath, out.path(), display);
        ASSERT_TRUE(job.CheckSplitParameters(c.typed, "film.avi", false, 20000,
                                             platform::ShowAfter(kOwner)));
        job.StartSplit();
        AwaitWorker(job);
        ASSERT_EQ(job.step, Step::Finished);
        const std::string first = ReadFile(PartPath(out.path(), "film.avi", 1));
        EXPECT_EQ(first.substr(40, 1 + c.onDisk.size()),
                  static_cast<char>(c.onDisk.size()) + c.onDisk);
    }
}

// Recovery parts: the field and the code against ISA-L's own, the header's
// refusals, the repair decision, and every loss a small set can suffer,
// repaired byte for byte or refused with its counts.
#include <gtest/gtest.h>
#ifndef PCW_NO_ISAL
#include <isa-l/erasure_code.h>
#endif

#include <algorithm>
#include <memory>
#include <random>

#include "formats/recovery/GaloisField.h"
#include "formats/recovery/RecoverySet.h"
#include "formats/recovery/RegionCoder.h"
#include "platform/Fs.h"
#include "support/TestSupport.h"

using namespace recovery;
using namespace testsupport;

namespace {

#ifndef PCW_NO_ISAL
std::vector<uint8_t> RandomCells(size_t count, uint32_t seed) {
    std::mt19937 random(seed);
    std::vector<uint8_t> cells(count);
    for (uint8_t& cell : cells) cell = static_cast<uint8_t>(random());
    return cells;
}

TEST(GaloisField, MultipliesAndInvertsAsIsaL) {
    for (int a = 0; a < 256; ++a) {
        ASSERT_EQ(GfInverse(Field::Gf256, uint16_t(a)), gf_inv(uint8_t(a))) << a;
        for (int b = 0; b < 256; ++b)
            ASSERT_EQ(GfMultiply(Field::Gf256, uint16_t(a), uint16_t(b)),
                      gf_mul(uint8_t(a), uint8_t(b)))
                << a << " x " << b;
    }
}

// The portable encoder is what the Windows program writes with: its bytes
// must be ISA-L's, for every shape of code and for lengths that are no
// multiple of ISA-L's vector width.
TEST(GaloisField, PortableCodeGivesIsaLsBytes) {
    struct Shape {
        int data, recovery;
        size_t bytes;
    };
    for (const Shape shape : {Shape{1, 1, 1}, Shape{2, 1, 63}, Shape{5, 3, 4097},
                              Shape{17, 7, 1000}, Shape{206, 50, 129}}) {
        SCOPED_TRACE(::testing::Message() << shape.data << "+" << shape.recovery);
        const GfMatrix parity = CauchyRows(Field::Gf256, shape.data, shape.recovery);
        std::vector<uint8_t> theirs(size_t(shape.data + shape.recovery) * shape.data);
        gf_gen_cauchy1_matrix(theirs.data(), shape.data + shape.recovery, shape.data);
        ASSERT_EQ(std::vector<uint16_t>(theirs.begin() + shape.data * shape.data, theirs.end()),
                  parity.cells);

        std::vector<std::vector<uint8_t>> data, portable, isal;
        std::vector<const uint8_t*> in;
        std::vector<uint8_t*> outPortable, outIsal;
        for (int j = 0; j < shape.data; ++j)
            data.push_back(RandomCells(shape.bytes, uint32_t(j + 1)));
        for (const auto& d : data) in.push_back(d.data());
        portable.assign(size_t(shape.recovery), std::vector<uint8_t>(shape.bytes));
        isal = portable;
        for (auto& p : portable) outPortable.push_back(p.data());
        for (auto& p : isal) outIsal.push_back(p.data());
        MultiplyRegionsPortably(parity, in.data(), outPortable.data(), shape.bytes);
        RegionCoder(parity).Apply(in.data(), outIsal.data(), shape.bytes);
        ASSERT_TRUE(RegionCoder::Accelerated());
        EXPECT_EQ(portable, isal);
    }
}

#endif

// The product by its definition: the carry-less product of the polynomials,
// reduced by the field's polynomial a bit at a time.
uint16_t SlowMultiply(int bits, unsigned polynomial, unsigned a, unsigned b) {
    unsigned product = 0;
    for (int bit = 0; bit < bits; ++bit)
        if (b >> bit & 1) product ^= a << bit;
    for (int bit = 2 * bits - 2; bit >= bits; --bit)
        if (product >> bit & 1) product ^= polynomial << (bit - bits);
    return static_cast<uint16_t>(product);
}

TEST(GaloisField, MultipliesAndInvertsAsTheFieldsDefinitionSays) {
    const struct {
        Field field;
        int bits;
        unsigned polynomial;
    } fields[] = {{Field::Gf256, 8, 0x11D}, {Field::Gf65536, 16, 0x1100B}};
    std::mt19937 random(3);
    for (const auto& f : fields) {
        SCOPED_TRACE(f.bits);
        const unsigned mask = (1u << f.bits) - 1;
        std::vector<unsigned> values = {0, 1, 2, 3, mask >> 1, (mask >> 1) + 1, mask - 1, mask};
        for (int n = 0; n < 300; ++n) values.push_back(unsigned(random()) & mask);
        for (unsigned a : values)
            for (unsigned b : values)
                ASSERT_EQ(GfMultiply(f.field, uint16_t(a), uint16_t(b)),
                          SlowMultiply(f.bits, f.polynomial, a, b))
                    << a << " x " << b;
        for (unsigned a = 1; a <= mask; ++a)
            ASSERT_EQ(GfMultiply(f.field, uint16_t(a), GfInverse(f.field, uint16_t(a))), 1) << a;
    }
}

// The bytes of a small code, as ISA-L computes them: what the portable
// encoder of the Windows program must give too.
TEST(GaloisField, CodesAKnownSetIntoKnownBytes) {
    std::vector<std::vector<uint8_t>> data(3, std::vector<uint8_t>(8));
    std::vector<const uint8_t*> in;
    for (size_t j = 0; j < 3; ++j) {
        for (size_t x = 0; x < 8; ++x) data[j][x] = static_cast<uint8_t>(j * 8 + x + 1);
        in.push_back(data[j].data());
    }
    std::vector<uint8_t> r0(8), r1(8);
    uint8_t* out[] = {r0.data(), r1.data()};
    RegionCoder(CauchyRows(Field::Gf256, 3, 2)).Apply(in.data(), out, 8);
    EXPECT_EQ(r0, (std::vector<uint8_t>{0x6F, 0xE2, 0x99, 0xE5, 0x9E, 0x13, 0x68, 0xE3}));
    EXPECT_EQ(r1, (std::vector<uint8_t>{0x38, 0x8B, 0x11, 0xF0, 0x6A, 0xD9, 0x43, 0xA4}));
}

TEST(GaloisField, InvertsAnyChoiceOfRowsOfTheGenerator) {
    std::mt19937 random(7);
    for (const Field field : {Field::Gf256, Field::Gf65536}) {
        const GfMatrix parity = CauchyRows(field, 6, 4);
        for (int trial = 0; trial < 50; ++trial) {
            std::vector<int> rows(10);
            for (int i = 0; i < 10; ++i) rows[size_t(i)] = i;
            std::shuffle(rows.begin(), rows.end(), random);
            GfMatrix chosen = GfMatrix::Zero(field, 6, 6);
            for (int i = 0; i < 6; ++i)
                for (int j = 0; j < 6; ++j)
                    chosen.At(i, j) = rows[size_t(i)] < 6 ? rows[size_t(i)] == j
                                                          : parity.At(rows[size_t(i)] - 6, j);
            const std::optional<GfMatrix> inverse = Inverted(chosen);
            ASSERT_TRUE(inverse);
            const GfMatrix identity = Multiplied(*inverse, chosen);
            for (int i = 0; i < 6; ++i)
                for (int j = 0; j < 6; ++j) ASSERT_EQ(identity.At(i, j), i == j ? 1 : 0);
        }
        EXPECT_FALSE(Inverted(GfMatrix{field, 2, 2, {1, 1, 1, 1}}));
    }
}

RecoveryHeader SampleHeader() {
    RecoveryHeader h;
    h.dataParts = 2;
    h.recoveryParts = 1;
    h.shardBytes = 10;
    h.totalBytes = 17;
    h.shards = {{10, {1}, "a.001.pcw"}, {7, {2}, "a.002.pcw"}, {10, {3}, "a.R01.pcw"}};
    return h;
}

// The version says the field: 1 for GF(2^8), which readers made before the
// larger sets read, 2 for GF(2^16), which they refuse as a later version.
TEST(RecoveryHeader, ReadsBackWhatItWrote) {
    for (const auto& [field, version] : {std::pair{Field::Gf256, 1}, {Field::Gf65536, 2}}) {
        RecoveryHeader h = SampleHeader();
        h.field = field;
        const std::vector<uint8_t> bytes = EncodeHeader(h);
        ASSERT_EQ(int64_t(bytes.size()), h.HeaderBytes());
        EXPECT_EQ(bytes[16] | bytes[17] << 8, version);
        const DecodedHeader decoded = DecodeHeader(bytes);
        ASSERT_TRUE(decoded.header);
        EXPECT_EQ(decoded.header->field, field);
        EXPECT_EQ(decoded.header->shards[1].name, "a.002.pcw");
        EXPECT_EQ(decoded.header->shards[1].bytes, 7);
        EXPECT_EQ(decoded.header->totalBytes, 17);
    }
    RecoveryHeader wide = SampleHeader();
    wide.field = Field::Gf65536;
    EXPECT_FALSE(SameSet(*DecodeHeader(EncodeHeader(wide)).header,
                         *DecodeHeader(EncodeHeader(SampleHeader())).header));
    RecoveryHeader other = SampleHeader();
    other.index = 0;
    other.shards[0].digest[0] = 9;
    EXPECT_FALSE(SameSet(*DecodeHeader(EncodeHeader(SampleHeader())).header,
                         *DecodeHeader(EncodeHeader(other)).header));
}

// A header comes from a file anyone may have written: every field that does
// not hold together is refused, and with it what would reach past the folder.
TEST(RecoveryHeader, RefusesWhatDoesNotHoldTogether) {
    using Change = void (*)(RecoveryHeader&);
    const struct {
        const char* what;
        Change change;
    } rows[] = {
        {"a name that climbs out", [](RecoveryHeader& h) { h.shards[0].name = "../a.001.pcw"; }},
        {"a name with a folder", [](RecoveryHeader& h) { h.shards[1].name = "x/a.002.pcw"; }},
        {"a name of dots", [](RecoveryHeader& h) { h.shards[1].name = ".."; }},
        {"a name twice", [](RecoveryHeader& h) { h.shards[2].name = "A.001.PCW"; }},
        {"a part larger than a shard", [](RecoveryHeader& h) { h.shards[1].bytes = 11; }},
        {"a total that is not the sum", [](RecoveryHeader& h) { h.totalBytes = 18; }},
        {"a recovery shard of another length", [](RecoveryHeader& h) { h.shards[2].bytes = 9; }},
        {"an index past the count", [](RecoveryHeader& h) { h.index = 1; }},
        {"no data part", [](RecoveryHeader& h) { h.dataParts = 0; }},
        {"more shards than the field has elements",
         [](RecoveryHeader& h) { h.recoveryParts = 255; }},
        {"half a symbol of GF(2^16)",
         [](RecoveryHeader& h) {
             h.field = Field::Gf65536;
             h.shardBytes = h.shards[0].bytes = h.shards[2].bytes = 11;
             h.totalBytes = 18;
         }},
    };
    for (const auto& row : rows) {
        RecoveryHeader h = SampleHeader();
        row.change(h);
        EXPECT_EQ(DecodeHeader(EncodeHeader(h)).fault, HeaderFault::Damaged) << row.what;
    }
    std::vector<uint8_t> bytes = EncodeHeader(SampleHeader());
    std::vector<uint8_t> flipped = bytes;
    flipped[70] ^= 1;
    EXPECT_EQ(DecodeHeader(flipped).fault, HeaderFault::Damaged);
    EXPECT_EQ(DecodeHeader({bytes.begin(), bytes.end() - 1}).fault, HeaderFault::Damaged);
    std::vector<uint8_t> later = bytes;
    later[16] = 3;
    EXPECT_EQ(DecodeHeader(later).fault, HeaderFault::OtherVersion);
    EXPECT_EQ(DecodeHeader(later).version, 3);
    std::vector<uint8_t> unsigned_ = bytes;
    unsigned_[0] = 'X';
    EXPECT_EQ(DecodeHeader(unsigned_).fault, HeaderFault::NotRecovery);
}

TEST(RepairPlan, RepairsWhileTheLostDataAreNoMoreThanTheGoodRecoveryParts) {
    constexpr ShardState G = ShardState::Good, M = ShardState::Missing, D = ShardState::Damaged;
    const struct {
        std::vector<ShardState> states;  // 3 data parts, then the recovery parts
        size_t lost;
        bool repairable;
        int needed, present;
    } rows[] = {
        {{G, G, G, G, G}, 0, true, 0, 2},  {{M, G, G, G, G}, 1, true, 1, 2},
        {{M, D, G, G, G}, 2, true, 2, 2},  {{G, G, G, M, D}, 2, true, 0, 0},
        {{M, G, G, M, G}, 2, true, 1, 1},  {{M, D, G, M, G}, 3, false, 2, 1},
        {{M, M, M, G, G}, 3, false, 3, 2},
    };
    for (const auto& row : rows) {
        const RepairPlan plan = PlanRepair(Field::Gf256, 3, row.states);
        EXPECT_EQ(plan.lost.size(), row.lost);
        EXPECT_EQ(plan.Repairable(), row.repairable);
        EXPECT_EQ(plan.NeededRecovery(), row.needed);
        EXPECT_EQ(plan.goodRecovery, row.present);
        EXPECT_EQ(plan.decode.has_value(), row.repairable && row.lost > 0);
    }
}

class RecoverySetTest : public ::testing::Test {
protected:
    // `sizes.size()` data parts of those sizes, protected by `recovery` parts.
    void MakeSet(const std::vector<size_t>& sizes, int recovery,
                 std::optional<Field> field = std::nullopt) {
        folder = std::make_unique<TempDir>();
        parts.clear();
        contents.clear();
        for (size_t i = 0; i < sizes.size(); ++i) {
            parts.push_back(*folder / ("set.00" + std::to_string(i + 1)));
            contents.push_back(RandomBytes(sizes[i], uint32_t(i + 11)));
            WriteFile(parts.back(), contents.back());
        }
        written.clear();
        ASSERT_FALSE(ProtectParts(parts, parts.back(), recovery, &written, {}, field));
        for (const std::string& path : written) contents.push_back(ReadFile(path));
        all = parts;
        all.insert(all.end(), written.begin(), written.end());
    }
    // Each shard of the mask lost: removed, cut short or with a byte changed.
    void Lose(unsigned mask) {
        for (size_t i = 0, n = 0; i < all.size(); ++i) {
            if (!(mask >> i & 1)) continue;
            switch (n++ % 3) {
                case 0:
                    std::remove(all[i].c_str());
                    break;
                case 1:
                    WriteFile(all[i], contents[i].substr(0, contents[i].size() / 2));
                    break;
                default: {
                    std::string changed = contents[i];
                    changed[changed.size() / 3] ^= 0x40;
                    WriteFile(all[i], changed);
                }
            }
        }
    }
    void ExpectRestored() {
        for (size_t i = 0; i < all.size(); ++i) ASSERT_EQ(ReadFile(all[i]), contents[i]) << all[i];
    }

    std::unique_ptr<TempDir> folder;
    RecordingSink sink;
    std::vector<std::string> parts, written, all, contents;
};

TEST_F(RecoverySetTest, RepairsEveryCombinationOfAsManyLossesAsRecoveryParts) {
    constexpr Field kWide = Field::Gf65536;
    const struct {
        std::vector<size_t> sizes;
        int recovery;
        Field field;
    } sets[] = {
        {{5000, 5000, 5000, 1234}, 2, Field::Gf256},
        {{70000, 9, 70000, 70000, 3}, 3, Field::Gf256},
        {{1, 1}, 1, Field::Gf256},
        {{5001, 5000, 4999, 1233}, 2, kWide},
        {{70001, 9, 70000, 70000, 3}, 3, kWide},
        {{1, 1}, 1, kWide},
        {{3000, 2999}, 5, kWide},
    };
    for (const auto& set : sets) {
        MakeSet(set.sizes, set.recovery, set.field);
        const unsigned shards = unsigned(all.size());
        for (unsigned mask = 1; mask < (1u << shards); ++mask) {
            const int losses = __builtin_popcount(mask);
            if (losses > set.recovery + 1) continue;
            SCOPED_TRACE(::testing::Message() << "shards " << shards << ", lost mask " << mask);
            Lose(mask);
            const Protection protection = ExamineProtection(all[0]);
            // With every recovery part lost nothing may tell the set was protected.
            if (!protection.header) {
                ASSERT_EQ(mask >> set.sizes.size(), (1u << set.recovery) - 1);
                for (size_t i = 0; i < all.size(); ++i) WriteFile(all[i], contents[i]);
                continue;
            }
            ASSERT_TRUE(protection.header);
            ASSERT_EQ(protection.plan.lost.size(), size_t(losses));
            // What a join reads of each data part, rebuilt in memory when lost:
            // a native set's header is its first part's first bytes.
            for (size_t j = 0; j < set.sizes.size(); ++j) {
                const std::optional<std::vector<uint8_t>> bytes =
                    DataPartBytes(protection, int(j), 1, 100);
                ASSERT_EQ(bytes.has_value(), losses <= set.recovery || !(mask >> j & 1)) << j;
                if (!bytes) continue;
                EXPECT_EQ(std::string(bytes->begin(), bytes->end()),
                          (contents[j] + std::string(101, '\0')).substr(1, 100))
                    << j;
            }
            RepairReport report;
            const std::optional<Failure> failed = RepairSet(protection, report);
            if (losses > set.recovery) {
                ASSERT_TRUE(failed);
                EXPECT_NE(failed->text.find("irréparable : " + std::to_string(losses)),
                          std::string::npos);
                EXPECT_EQ(failed->text.find(" 1 fichiers"), std::string::npos) << failed->text;
                for (size_t i = 0; i < all.size(); ++i) WriteFile(all[i], contents[i]);
                for (const std::string& name : ListDir(folder->path()))
                    ASSERT_EQ(name.find(".reparation"), std::string::npos);
                continue;
            }
            ASSERT_FALSE(failed) << failed->text;
            EXPECT_EQ(report.rebuilt.size(), size_t(losses));
            ExpectRestored();
            for (const auto& aside : report.keptAside) std::remove(aside.second.c_str());
            ASSERT_EQ(ListDir(folder->path()).size(), all.size());
        }
    }
}

// More files than GF(2^8) has elements: the code is over GF(2^16), and any
// two of them may still be lost, data or recovery parts.
TEST_F(RecoverySetTest, RepairsASetOfMoreThan256Files) {
    MakeSet(std::vector<size_t>(300, 301), 2);
    ASSERT_EQ(DecodeHeader({reinterpret_cast<const uint8_t*>(contents[300].data()), 100}).version,
              2);
    std::mt19937 random(5);
    for (const unsigned fixed : {0u, 299u, 300u, 301u}) {
        const unsigned other = unsigned(random() % 300);
        if (other == fixed) continue;
        SCOPED_TRACE(::testing::Message() << "lost " << fixed << " and " << other);
        std::remove(all[fixed].c_str());
        WriteFile(all[other], "damaged");
        const Protection protection = ExamineProtection(all[fixed == 0 ? 1 : 0]);
        ASSERT_TRUE(protection.header);
        ASSERT_EQ(protection.plan.lost.size(), 2u);
        RepairReport report;
        ASSERT_FALSE(RepairSet(protection, report)) << RepairSet(protection, report)->text;
        ExpectRestored();
        for (const auto& aside : report.keptAside) std::remove(aside.second.c_str());
    }
}

std::string Md5Hex(const std::string& bytes) {
    MD5Context context;
    MD5Init(context);
    MD5Update(context, bytes.data(), bytes.size());
    return DigestToHex(MD5Final(context));
}

// Recovery parts as an independent encoder of the format (fuzz/make-seeds)
// writes them, in either field: the bytes of sets of 256 files at most never
// change, and a reader of the format finds what Parcelwise wrote.
TEST_F(RecoverySetTest, WritesTheBytesThatTheFormatDefines) {
    const struct {
        Field field;
        std::vector<size_t> sizes;
        std::vector<std::string> digests;
    } rows[] = {
        {Field::Gf256,
         {40, 40, 17},
         {"45E733C10D83A4770868FEEFFADAFCBE", "640A531A146E0961E193B70D23E2A8BE"}},
        {Field::Gf65536,
         {41, 40, 17},
         {"B160F3C91A2510807E70CD79D9D26BC5", "C86D499327396441407333CF9553B966"}},
        {Field::Gf65536,
         {41, 40, 17},
         {"BADB7B60A9C5FA1B45C77ADD19812BFE", "B23D8F4466D3AF2FADF924735F536AAE",
          "5F4A9BACD76AA494CFE641635C974708", "6245F25B722729FD276A86B72C8646F3",
          "C89B34F7464B1D1BF1D19F9CE4BE4D8A", "7D9EC7244A2DBDCF72AE676D315A2F15"}},
    };
    for (const auto& row : rows) {
        TempDir dir;
        std::vector<std::string> paths;
        for (size_t p = 0; p < row.sizes.size(); ++p) {
            std::string bytes(row.sizes[p], '\0');
            for (size_t i = 0; i < bytes.size(); ++i)
                bytes[i] = static_cast<char>(i * 131 + (p + 1) * 17 + (i >> 7));
            paths.push_back(dir / ("k.00" + std::to_string(p + 1)));
            WriteFile(paths.back(), bytes);
        }
        std::vector<std::string> made;
        const int recovery = static_cast<int>(row.digests.size());
        ASSERT_FALSE(ProtectParts(paths, paths.back(), recovery, &made, {}, row.field));
        for (size_t r = 0; r < made.size(); ++r)
            EXPECT_EQ(Md5Hex(ReadFile(made[r])), row.digests[r]) << r;
    }
}

TEST_F(RecoverySetTest, FindsTheSetFromARecoveryPartWhenEveryDataPartIsGone) {
    MakeSet({3000, 3000, 3000}, 3);
    Lose(0b111);
    const Protection protection = ExamineProtection(written[1]);
    ASSERT_TRUE(protection.header);
    RepairReport report;
    ASSERT_FALSE(RepairSet(protection, report));
    ExpectRestored();
}

// A recovery part under a name of the set that belongs to another set, or of
// a later version, or with a damaged header, never serves: it is named, and
// counted as lost.
TEST_F(RecoverySetTest, IgnoresAndNamesRecoveryPartsThatCannotServe) {
    MakeSet({4000, 4000}, 2);
    TempDir other;
    WriteFile(other / "x.001", RandomBytes(4000, 99));
    WriteFile(other / "x.002", RandomBytes(4000, 98));
    std::vector<std::string> foreign;
    ASSERT_FALSE(ProtectParts({other / "x.001", other / "x.002"}, other / "x", 1, &foreign));
    WriteFile(written[0], ReadFile(foreign[0]));
    std::string later = contents[3];
    later[16] = 7;
    WriteFile(written[1], later);
    const Protection protection = ExamineProtection(parts[0]);
    ASSERT_FALSE(protection.header);
    EXPECT_NE(DescribeProtection(protection, false).find("version 7 de ce format"),
              std::string::npos);
    std::string damaged = contents[3];
    damaged[70] ^= 1;
    WriteFile(written[1], damaged);
    EXPECT_NE(DescribeProtection(ExamineProtection(parts[0]), false).find("en-tête est endommagé"),
              std::string::npos);
    WriteFile(written[1], contents[3]);

    const Protection mixed = ExamineProtection(parts[0]);
    ASSERT_TRUE(mixed.header);
    ASSERT_EQ(mixed.ignored.size(), 1u);
    EXPECT_EQ(mixed.ignored[0].path, written[0]);
    EXPECT_EQ(mixed.ignored[0].fault, HeaderFault::None);
    const std::string said = DescribeProtection(mixed, false);
    EXPECT_NE(said.find("il appartient à un autre jeu"), std::string::npos) << said;
    EXPECT_NE(said.find("Fichier de secours n°1"), std::string::npos) << said;
    RepairReport report;
    ASSERT_FALSE(RepairSet(mixed, report));
    ExpectRestored();
}

TEST_F(RecoverySetTest, RefusesToWriteOverAFileAndLeavesNothingBehind) {
    MakeSet({2000, 2000}, 1);
    const std::string before = ReadFile(written[0]);
    std::vector<std::string> again;
    const std::optional<Failure> failed = ProtectParts(parts, parts.back(), 2, &again);
    ASSERT_TRUE(failed);
    EXPECT_NE(failed->text.find("existe déjà"), std::string::npos);
    EXPECT_EQ(ReadFile(written[0]), before);
    EXPECT_EQ(ListDir(folder->path()).size(), 3u);
    EXPECT_TRUE(ProtectParts(std::vector<std::string>(1048, parts[0]), *folder / "many", 2));
    EXPECT_TRUE(ProtectParts(parts, *folder / "narrow", 255, nullptr, {}, Field::Gf256));
}

TEST(RecoveryNames, SortAfterTheDataPartsAndAreKnownAgain) {
    EXPECT_EQ(RecoveryPartName("/d/film.avi", 0), "/d/film.avi.R01.pcw");
    EXPECT_EQ(RecoveryPartName("xaz", 49), "xaz.R50.pcw");
    EXPECT_LT(std::string("film.avi.999.pcw"), "film.avi.R01.pcw");
    EXPECT_LT(std::string("film.avi.1000.pcw"), "film.avi.R01.pcw");
    for (const char* name : {"film.avi.R01.pcw", "x.r99.PCW"})
        EXPECT_TRUE(IsRecoveryPartName(name));
    for (const char* name : {"film.avi.001.pcw", ".R01.pcw", "a.R1.pcw", "a.RA1.pcw", "a.R01"})
        EXPECT_FALSE(IsRecoveryPartName(name)) << name;
}

}  // namespace

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "texts/Texts.h"

using texts::TextId;

namespace {

// The placeholders that `text` holds, as digits.
std::set<int> PlaceholdersOf(std::string_view text) {
    std::set<int> found;
    for (size_t i = 0; i + 1 < text.size(); ++i)
        if (text[i] == '%' && text[i + 1] >= '1' && text[i + 1] <= '9')
            found.insert(text[i + 1] - '0');
    return found;
}

// Ids whose texts a language words alike where the reference does not (an
// English adjective has no plural): the only rows allowed to coincide.
struct SharedWording {
    std::string_view language;
    TextId first;
    TextId second;
};
constexpr SharedWording kSharedWordings[] = {
    {"en", TextId::VerifyPartIntact, TextId::VerifyAllIntact},
};

bool MayShare(std::string_view language, TextId a, TextId b) {
    for (const SharedWording& shared : kSharedWordings)
        if (shared.language == language && ((shared.first == a && shared.second == b) ||
                                            (shared.first == b && shared.second == a)))
            return true;
    return false;
}

}  // namespace

// Each catalogue words every id, with placeholders %1 to %n and none skipped,
// the same placeholders as the reference, and no two ids alike.
TEST(Catalogue, EveryLanguageWordsEveryIdOnce) {
    const texts::Catalogue reference = texts::Languages()[0].rows;
    for (const texts::Language& language : texts::Languages()) {
        SCOPED_TRACE(std::string(language.code));
        ASSERT_TRUE(texts::FollowsIds(language.rows));
        std::map<std::string_view, TextId> seen;
        for (size_t i = 0; i < language.rows.size(); ++i) {
            const texts::Row& row = language.rows[i];
            SCOPED_TRACE("id " + std::to_string(i) + ": " + std::string(row.text));
            EXPECT_FALSE(row.text.empty());
            const auto [earlier, first] = seen.emplace(row.text, row.id);
            EXPECT_TRUE(first || MayShare(language.code, earlier->second, row.id))
                << "two ids share this text";
            const std::set<int> placeholders = PlaceholdersOf(row.text);
            const int count = texts::PlaceholderCount(row.text);
            EXPECT_EQ(placeholders.size(), static_cast<size_t>(count))
                << "a placeholder is skipped";
            EXPECT_EQ(placeholders, PlaceholdersOf(reference[i].text));
        }
    }
}

TEST(Catalogue, TheReferenceIsFrenchAndInUseByDefault) {
    EXPECT_EQ(texts::Languages()[0].code, "fr");
    EXPECT_EQ(texts::TextOf(TextId::TitleProgram), "-=Parcelwise=-");
    EXPECT_TRUE(texts::UseLanguage("fr"));
    EXPECT_FALSE(texts::UseLanguage("xx"));
    EXPECT_EQ(texts::TextOf(TextId::JoinCancelled), "Le recollage a été annulé.");
}

TEST(Catalogue, OddWordingIsMarked) {
    // What users have always read, slips included, stays as it is.
    const texts::Row& tooSmall =
        texts::Languages()[0].rows[static_cast<size_t>(TextId::SourceTooSmall)];
    EXPECT_TRUE(tooSmall.keptOddity);
    EXPECT_EQ(tooSmall.text, "Le fichier sélectionné à une taille inférieure à 1 Mo.");
}

struct WordingCase {
    const char* text;
    std::vector<std::string_view> values;
    const char* worded;
};

TEST(Catalogue, WordingReplacesEachPlaceholderOnce) {
    const WordingCase cases[] = {
        {"sans valeur", {}, "sans valeur"},
        {"n°%1 sur %2", {"3", "9"}, "n°3 sur 9"},
        {"%2 puis %1", {"a", "b"}, "b puis a"},
        {"%1%", {"50"}, "50%"},
        {"* %", {}, "* %"},
        {"100 % sûr", {}, "100 % sûr"},
        // A value is never read again: a name holding "%1" prints as it is.
        {"nom : %1", {"film%1%2.avi"}, "nom : film%1%2.avi"},
        {"%1.%2", {"", "x"}, ".x"},
        {"fin %", {}, "fin %"},
    };
    for (const WordingCase& c : cases) {
        SCOPED_TRACE(c.text);
        std::string worded;
        switch (c.values.size()) {
            case 0:
                worded = texts::Worded(c.text, {});
                break;
            case 1:
                worded = texts::Worded(c.text, {c.values[0]});
                break;
            default:
                worded = texts::Worded(c.text, {c.values[0], c.values[1]});
                break;
        }
        EXPECT_EQ(worded, c.worded);
    }
}

namespace {
int misuses = 0;
void CountMisuse(TextId, size_t, int) {
    ++misuses;
}
}  // namespace

TEST(Catalogue, WordingWithTheWrongNumberOfValuesIsReported) {
    const texts::MisuseHandler previous = texts::SetMisuseHandler(CountMisuse);
    misuses = 0;
    EXPECT_EQ(texts::Say(TextId::NameTakenByFile), "Le fichier <  > existe déjà !");
    EXPECT_EQ(texts::Say(TextId::JoinCancelled, {"de trop"}), "Le recollage a été annulé.");
    EXPECT_EQ(texts::Say(TextId::NameTakenByFile, {"a.bin"}), "Le fichier < a.bin > existe déjà !");
    texts::SetMisuseHandler(previous);
    EXPECT_EQ(misuses, 2);
}

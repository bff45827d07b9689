#include "texts/Texts.h"

#include <algorithm>
#include <atomic>

#include "texts/Catalogues.h"

namespace texts {

namespace {

// Read by every thread that words a text; set once at start.
std::atomic<const Row*> current{nullptr};
std::atomic<MisuseHandler> misuse{nullptr};

const Row* Current() {
    const Row* rows = current.load(std::memory_order_acquire);
    return rows != nullptr ? rows : Languages()[0].rows.data();
}

bool IsDigit(char c) {
    return c >= '1' && c <= '9';
}

}  // namespace

std::string_view TextOf(TextId id) {
    const auto index = static_cast<size_t>(id);
    return index < kTextCount ? Current()[index].text : std::string_view();
}

int PlaceholderCount(std::string_view text) {
    int highest = 0;
    for (size_t i = 0; i + 1 < text.size(); ++i)
        if (text[i] == '%' && IsDigit(text[i + 1])) highest = std::max(highest, text[i + 1] - '0');
    return highest;
}

std::string Worded(std::string_view text, std::initializer_list<std::string_view> values) {
    std::string worded;
    worded.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && IsDigit(text[i + 1])) {
            const auto index = static_cast<size_t>(text[i + 1] - '1');
            if (index < values.size()) worded += values.begin()[index];
            ++i;
        } else {
            worded += text[i];
        }
    }
    return worded;
}

std::string Say(TextId id, std::initializer_list<std::string_view> values) {
    const std::string_view text = TextOf(id);
    if (const int placeholders = PlaceholderCount(text);
        static_cast<size_t>(placeholders) != values.size())
        if (MisuseHandler handler = misuse.load()) handler(id, values.size(), placeholders);
    return Worded(text, values);
}

std::span<const Language> Languages() {
    // The table of languages: a new catalogue is one more row.
    static const Language languages[] = {
        {"fr", FrenchRows()},
        {"en", EnglishRows()},
    };
    return languages;
}

bool UseLanguage(std::string_view code) {
    for (const Language& language : Languages()) {
        if (language.code != code) continue;
        current.store(language.rows.data(), std::memory_order_release);
        return true;
    }
    return false;
}

MisuseHandler SetMisuseHandler(MisuseHandler handler) {
    return misuse.exchange(handler);
}

}  // namespace texts

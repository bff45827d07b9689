// The catalogue's texts as the windows show them (texts/Texts.h).
#pragma once

#include <QString>
#include <initializer_list>
#include <string>
#include <string_view>

#include "texts/Texts.h"

using texts::TextId;

// The text of `id`, worded with `values`, as a QString.
inline QString UiText(TextId id, std::initializer_list<std::string_view> values = {}) {
    const std::string text = texts::Say(id, values);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

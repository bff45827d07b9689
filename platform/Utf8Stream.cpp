#include "platform/Utf8Stream.h"

#include <utility>

namespace platform {

namespace {

bool IsContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// The length of the sequence that the byte starts; 1 for a byte that starts
// none, which is then a character of its own for the converter (U+FFFD).
size_t SequenceLength(unsigned char lead) {
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 1;
}

}  // namespace

size_t WholeUtf8Length(std::string_view bytes) {
    const size_t size = bytes.size();
    // Back over at most three continuation bytes to the last lead.
    size_t start = size;
    while (start > 0 && size - start < 3 &&
           IsContinuation(static_cast<unsigned char>(bytes[start - 1])))
        --start;
    if (start == 0) return size;
    const size_t lead = start - 1;
    if (IsContinuation(static_cast<unsigned char>(bytes[lead]))) return size;
    return size - lead < SequenceLength(static_cast<unsigned char>(bytes[lead])) ? lead : size;
}

Utf8StreamBuffer::Utf8StreamBuffer(Writer writer) : writer_(std::move(writer)) {}

Utf8StreamBuffer::~Utf8StreamBuffer() {
    Finish();
}

void Utf8StreamBuffer::Finish() {
    std::lock_guard lock(mutex_);
    if (held_.empty()) return;
    writer_(held_);
    held_.clear();
}

Utf8StreamBuffer::int_type Utf8StreamBuffer::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    const char byte = traits_type::to_char_type(c);
    std::lock_guard lock(mutex_);
    return Put(std::string_view(&byte, 1)) ? c : traits_type::eof();
}

std::streamsize Utf8StreamBuffer::xsputn(const char* s, std::streamsize n) {
    std::lock_guard lock(mutex_);
    return Put(std::string_view(s, static_cast<size_t>(n))) ? n : 0;
}

bool Utf8StreamBuffer::Put(std::string_view bytes) {
    std::string joined;
    if (!held_.empty()) {
        joined = std::move(held_);
        joined.append(bytes);
        bytes = joined;
    }
    const size_t whole = WholeUtf8Length(bytes);
    held_.assign(bytes.substr(whole));
    return whole == 0 || writer_(bytes.substr(0, whole));
}

}  // namespace platform

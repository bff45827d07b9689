// A stream buffer for devices that take whole characters only: the Windows
// console takes UTF-16, so the UTF-8 the program writes must be converted one
// whole sequence at a time, even when a character's bytes come in two writes.
// System-free; the device is a function.
#pragma once

#include <functional>
#include <mutex>
#include <streambuf>
#include <string>
#include <string_view>

namespace platform {

// The length of the longest start of `bytes` that does not end inside a UTF-8
// sequence: all of it, except a last sequence whose lead byte announces more
// bytes than follow it (so at most 3 bytes are left out). Bytes that start no
// sequence (a stray continuation byte, an invalid lead) count as whole, so that
// nothing waits for bytes that can never complete it.
size_t WholeUtf8Length(std::string_view bytes);

// Hands every write on to its writer at once, less an unfinished last
// sequence, which waits for the rest of its bytes. Unbuffered, and every write
// is taken under a lock, so that threads sharing std::cerr interleave whole
// writes as they do on the standard buffers.
class Utf8StreamBuffer final : public std::streambuf {
public:
    // Writes all of the bytes to the device; false when it failed.
    using Writer = std::function<bool(std::string_view)>;

    explicit Utf8StreamBuffer(Writer writer);
    // Finish().
    ~Utf8StreamBuffer() override;
    Utf8StreamBuffer(const Utf8StreamBuffer&) = delete;
    Utf8StreamBuffer& operator=(const Utf8StreamBuffer&) = delete;

    // Writes an unfinished last sequence as it is: the stream is done with.
    void Finish();

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* s, std::streamsize n) override;

private:
    // The writer's verdict on what of held_ + bytes is whole; the rest is held.
    bool Put(std::string_view bytes);

    Writer writer_;
    std::mutex mutex_;
    std::string held_;
};

}  // namespace platform

// SHA-256 from the system's library made for it: OpenSSL's libcrypto here
// (which uses the processor's SHA instructions), Windows' CNG in the Windows
// build. Both give the digests of FIPS 180-4.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace platform {

using Sha256Digest = std::array<uint8_t, 32>;

class Sha256 {
public:
    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    // False when the library could not give a hash at all (out of memory):
    // nothing is hashed then, and Finish gives no digest.
    bool Ready() const { return state_ != nullptr; }
    void Add(const void* data, size_t bytes);
    // The digest of everything added; the hash starts again empty after it.
    bool Finish(Sha256Digest& digest);

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace platform

#include "platform/Sha256.h"

#include <windows.h>
// windows.h first: bcrypt.h relies on its types.
#include <bcrypt.h>

namespace platform {

struct Sha256::State {
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    BCRYPT_HASH_HANDLE hash = nullptr;
    ~State() {
        if (hash != nullptr) ::BCryptDestroyHash(hash);
        if (algorithm != nullptr) ::BCryptCloseAlgorithmProvider(algorithm, 0);
    }
};

Sha256::Sha256() {
    auto state = std::make_unique<State>();
    // A reusable hash object starts again empty after every BCryptFinishHash.
    if (BCRYPT_SUCCESS(::BCryptOpenAlgorithmProvider(&state->algorithm, BCRYPT_SHA256_ALGORITHM,
                                                     nullptr, 0)) &&
        BCRYPT_SUCCESS(::BCryptCreateHash(state->algorithm, &state->hash, nullptr, 0, nullptr, 0,
                                          BCRYPT_HASH_REUSABLE_FLAG)))
        state_ = std::move(state);
}

Sha256::~Sha256() = default;

void Sha256::Add(const void* data, size_t bytes) {
    if (!state_) return;
    auto* at = static_cast<UCHAR*>(const_cast<void*>(data));
    // BCryptHashData takes a ULONG count: a larger block goes in pieces.
    while (bytes > 0) {
        const ULONG piece = bytes > 0x40000000 ? 0x40000000 : static_cast<ULONG>(bytes);
        ::BCryptHashData(state_->hash, at, piece, 0);
        at += piece;
        bytes -= piece;
    }
}

bool Sha256::Finish(Sha256Digest& digest) {
    if (!state_) return false;
    return BCRYPT_SUCCESS(
        ::BCryptFinishHash(state_->hash, digest.data(), static_cast<ULONG>(digest.size()), 0));
}

}  // namespace platform

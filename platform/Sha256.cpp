#include "platform/Sha256.h"

#include <openssl/evp.h>

namespace platform {

struct Sha256::State {
    EVP_MD_CTX* context = nullptr;
    ~State() { EVP_MD_CTX_free(context); }
};

Sha256::Sha256() {
    auto state = std::make_unique<State>();
    state->context = EVP_MD_CTX_new();
    if (state->context != nullptr && EVP_DigestInit_ex(state->context, EVP_sha256(), nullptr) == 1)
        state_ = std::move(state);
}

Sha256::~Sha256() = default;

void Sha256::Add(const void* data, size_t bytes) {
    if (state_) EVP_DigestUpdate(state_->context, data, bytes);
}

bool Sha256::Finish(Sha256Digest& digest) {
    if (!state_) return false;
    unsigned int length = 0;
    const bool done =
        EVP_DigestFinal_ex(state_->context, digest.data(), &length) == 1 && length == digest.size();
    EVP_DigestInit_ex(state_->context, EVP_sha256(), nullptr);
    return done;
}

}  // namespace platform

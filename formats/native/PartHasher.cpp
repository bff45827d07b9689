#include "formats/native/PartHasher.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <exception>
#include <limits>
#include <mutex>
#include <system_error>
#include <thread>
#include <unordered_set>

#include "platform/Errors.h"

namespace {

constexpr size_t kNoFailure = std::numeric_limits<size_t>::max();
constexpr size_t kDefaultBuffer = 128 * 1024;

// What the workers of one HashParts share. Parts are handed out in order, so
// when part k fails every part before k has been taken already: the workers
// finish those (one of them may fail too) and drop every part after k, which
// can no longer be the first failure.
class Hashing {
public:
    Hashing(const std::vector<PartToHash>& parts, const PartHashOptions& options)
        : parts_(parts),
          options_(options),
          bufferSize_(options.bufferSize > 0 ? options.bufferSize : kDefaultBuffer),
          givenTwice_(parts.size(), false) {
        result_.digests.resize(parts.size());
        result_.errors.resize(parts.size(), 0);
        std::unordered_set<const platform::File*> seen;
        for (size_t i = 0; i < parts.size(); ++i)
            if (parts[i].file != nullptr && !seen.insert(parts[i].file).second)
                givenTwice_[i] = true;
    }

    PartHashResult Run() {
        const unsigned workers = PartHashWorkers(options_.workers, parts_.size());
        std::vector<std::thread> threads;
        threads.reserve(workers);
        for (unsigned k = 1; k < workers; ++k) {
            try {
                threads.emplace_back([this] { Work(); });
            } catch (const std::system_error&) {
                break;  // the workers already started hash every part all the same
            }
        }
        Work();
        for (std::thread& thread : threads) thread.join();
        if (escaped_) std::rethrow_exception(escaped_);
        result_.cancelled = cancelled_.load();
        return std::move(result_);
    }

private:
    void Work() {
        try {
            HashBuffer buffer = MakeHashBuffer(bufferSize_);
            for (;;) {
                const size_t i = next_.fetch_add(1);
                if (i >= parts_.size() || stop_.load() || Dropped(i)) return;
                if (AskCancelled()) return;
                HashOne(i, buffer.get());
            }
        } catch (...) {
            std::lock_guard lock(mutex_);
            if (!escaped_) escaped_ = std::current_exception();
            stop_.store(true);
        }
    }

    void HashOne(size_t i, uint8_t* buffer) {
        const PartToHash& part = parts_[i];
        if (givenTwice_[i]) return Done(i, std::nullopt, EINVAL);
        platform::File opened;
        platform::File* file = part.file;
        if (file == nullptr) {
            opened = platform::File::OpenRead(part.path, platform::Share::Read);
            file = &opened;
        }
        if (!file->IsOpen())
            return Done(i, std::nullopt, file->OpenError() ? file->OpenError() : EBADF);
        int64_t bytes = part.bytes;
        if (bytes < 0) {
            const int64_t size = file->Size();
            if (size < 0) return Done(i, std::nullopt, EIO);
            // A part that starts past the end of its file is short, not empty.
            if (size < part.offset) return Done(i, std::nullopt, ESTALE);
            bytes = size - part.offset;
        }

        int64_t reported = 0;
        bool dropped = false;
        auto step = [&](int64_t hashed) {
            Progress(i, hashed - reported, hashed);
            reported = hashed;
            if (options_.pause) options_.pause();
            dropped = AskCancelled() || stop_.load() || Dropped(i);
            return !dropped;
        };
        int error = 0;
        std::optional<Digest> digest =
            HashRange(*file, part.offset, bytes, buffer, bufferSize_, step, &error);
        if (!dropped) Done(i, digest, error);
    }

    // True once a part before i has failed, when no later part matters.
    bool Dropped(size_t i) const { return !options_.everyPart && i > firstFailure_.load(); }

    bool AskCancelled() {
        if (!options_.cancelled || !options_.cancelled()) return false;
        cancelled_.store(true);
        stop_.store(true);
        return true;
    }

    void Progress(size_t i, int64_t moved, int64_t partBytes) {
        if (!options_.progress) return;
        std::lock_guard lock(mutex_);
        allBytes_ += moved;
        options_.progress(i, partBytes, allBytes_);
    }

    void Done(size_t i, const std::optional<Digest>& digest, int error) {
        std::lock_guard lock(mutex_);
        if (digest) {
            result_.digests[i] = digest;
            error = 0;
        } else {
            result_.errors[i] = error;
            if (i < firstFailure_.load()) {
                firstFailure_.store(i);
                result_.failedPart = static_cast<int>(i);
                result_.error = error;
            }
        }
        if (options_.partDone) options_.partDone(i, error);
    }

    const std::vector<PartToHash>& parts_;
    const PartHashOptions& options_;
    const size_t bufferSize_;
    std::vector<bool> givenTwice_;

    std::atomic<size_t> next_{0};
    std::atomic<size_t> firstFailure_{kNoFailure};
    std::atomic<bool> stop_{false};
    std::atomic<bool> cancelled_{false};

    // Guards the result, the byte count and the callbacks that it serializes.
    std::mutex mutex_;
    PartHashResult result_;
    int64_t allBytes_ = 0;
    std::exception_ptr escaped_;
};

}  // namespace

unsigned PartHashWorkers(unsigned forced, size_t parts) {
    unsigned workers = forced > 0 ? forced : std::thread::hardware_concurrency();
    workers = std::max(workers, 1u);
    return static_cast<unsigned>(std::min<size_t>(workers, parts));
}

PartHashResult HashParts(const std::vector<PartToHash>& parts, const PartHashOptions& options) {
    return Hashing(parts, options).Run();
}

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
          lanes_(std::clamp<size_t>(options.lanes > 0 ? options.lanes : MD5LanesAtOnce(), 1,
                                    kMD5Lanes)),
          givenTwice_(parts.size(), false) {
        result_.digests.resize(parts.size());
        result_.errors.resize(parts.size(), 0);
        std::unordered_set<const platform::File*> seen;
        for (size_t i = 0; i < parts.size(); ++i)
            if (parts[i].file != nullptr && !seen.insert(parts[i].file).second)
                givenTwice_[i] = true;
    }

    PartHashResult Run() {
        RunOnWorkers(PartHashWorkers(options_.workers, parts_.size()), [this] { Work(); });
        if (escaped_) std::rethrow_exception(escaped_);
        result_.cancelled = cancelled_.load();
        return std::move(result_);
    }

private:
    // One part in flight on a worker: its file, its hash so far, and its own
    // buffer, kept for the next part the lane takes.
    struct Lane {
        bool busy = false;
        size_t part = 0;
        platform::File opened;
        platform::File* file = nullptr;
        int64_t bytes = 0;
        int64_t hashed = 0;
        size_t filled = 0;
        MD5Context context;
        HashBuffer buffer;
    };

    // A worker keeps up to `lanes` parts in flight and reads one buffer of
    // each between two pauses, so that the vector unit hashes them side by
    // side; a lane whose part ends takes the next part. It takes at most one
    // new part between two buffers: workers that start together share the
    // first parts out instead of one taking them all.
    void Work() {
        try {
            std::vector<Lane> lanes(lanes_);
            bool taking = true;
            for (;;) {
                if (stop_.load()) return;
                if (taking) taking = TakeNextPart(lanes);
                if (stop_.load()) return;
                if (std::none_of(lanes.begin(), lanes.end(),
                                 [](const Lane& l) { return l.busy; })) {
                    if (!taking) return;
                    continue;
                }
                ReadOneBuffer(lanes);
                if (!HashAndReport(lanes)) return;
                if (options_.pause) options_.pause();
                if (AskCancelled()) return;
            }
        } catch (...) {
            std::lock_guard lock(mutex_);
            if (!escaped_) escaped_ = std::current_exception();
            stop_.store(true);
        }
    }

    // Gives a free lane the next part that opens; false once no part is left
    // to take, or none that still matters.
    bool TakeNextPart(std::vector<Lane>& lanes) {
        auto free = std::find_if(lanes.begin(), lanes.end(), [](const Lane& l) { return !l.busy; });
        if (free == lanes.end()) return true;
        for (;;) {
            if (AskCancelled()) return false;
            const size_t i = next_.fetch_add(1);
            if (i >= parts_.size() || stop_.load() || Dropped(i)) return false;
            if (const int error = Open(*free, i)) {
                Done(i, std::nullopt, error);
                continue;
            }
            if (free->bytes == 0) {
                Done(i, MD5Final(free->context), 0);
                Release(*free);
                continue;
            }
            return true;
        }
    }

    // Readies a lane for part i; the errno of a part that cannot be hashed.
    int Open(Lane& lane, size_t i) {
        const PartToHash& part = parts_[i];
        if (givenTwice_[i]) return EINVAL;
        lane.file = part.file;
        if (lane.file == nullptr) {
            lane.opened = platform::File::OpenRead(part.path, platform::Share::Read);
            lane.file = &lane.opened;
        }
        if (!lane.file->IsOpen()) return lane.file->OpenError() ? lane.file->OpenError() : EBADF;
        int64_t bytes = part.bytes;
        if (bytes < 0) {
            const int64_t size = lane.file->Size();
            if (size < 0) return EIO;
            // A part that starts past the end of its file is short, not empty.
            if (size < part.offset) return ESTALE;
            bytes = size - part.offset;
        }
        if (part.offset < 0) return EINVAL;
        if (!lane.file->Seek(part.offset)) return EIO;
        if (!lane.buffer) lane.buffer = MakeHashBuffer(bufferSize_);
        lane.busy = true;
        lane.part = i;
        lane.bytes = bytes;
        lane.hashed = 0;
        MD5Init(lane.context);
        return 0;
    }

    void Release(Lane& lane) {
        lane.busy = false;
        lane.opened = platform::File();
    }

    // One read into every busy lane's buffer. A part that fails or ends
    // before its bytes (ESTALE: it got shorter) leaves its lane.
    void ReadOneBuffer(std::vector<Lane>& lanes) {
        for (Lane& lane : lanes) {
            lane.filled = 0;
            if (!lane.busy) continue;
            const size_t want = static_cast<size_t>(
                std::min(static_cast<int64_t>(bufferSize_), lane.bytes - lane.hashed));
            const platform::IoResult r = lane.file->Read(lane.buffer.get(), want);
            if (r.ok() && r.bytes > 0) {
                lane.filled = static_cast<size_t>(r.bytes);
                continue;
            }
            Done(lane.part, std::nullopt, r.ok() ? ESTALE : r.error);
            Release(lane);
        }
    }

    // Hashes what the lanes read, then shows each part's progress and ends
    // the parts that are whole; false once every worker must stop. A part
    // that no longer matters leaves its lane without an end.
    bool HashAndReport(std::vector<Lane>& lanes) {
        MD5Lane inputs[kMD5Lanes];
        size_t count = 0;
        for (Lane& lane : lanes)
            if (lane.filled > 0) inputs[count++] = {&lane.context, lane.buffer.get(), lane.filled};
        MD5UpdateLanes(inputs, count);
        for (Lane& lane : lanes) {
            if (lane.filled == 0) continue;
            lane.hashed += static_cast<int64_t>(lane.filled);
            Progress(lane.part, static_cast<int64_t>(lane.filled), lane.hashed);
            if (AskCancelled() || stop_.load()) return false;
            if (Dropped(lane.part)) {
                Release(lane);
            } else if (lane.hashed == lane.bytes) {
                Done(lane.part, MD5Final(lane.context), 0);
                Release(lane);
            }
        }
        return true;
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
    const size_t lanes_;
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

void RunOnWorkers(unsigned workers, const std::function<void()>& work) {
    std::vector<std::thread> threads;
    threads.reserve(workers);
    for (unsigned k = 1; k < workers; ++k) {
        try {
            threads.emplace_back(work);
        } catch (const std::system_error&) {
            break;  // the workers already started do all the work all the same
        }
    }
    work();
    for (std::thread& thread : threads) thread.join();
}

void RunBeside(const std::function<void()>& beside, const std::function<void()>& work) {
    std::exception_ptr escaped;
    std::thread thread;
    try {
        thread = std::thread([&] {
            try {
                beside();
            } catch (...) {
                escaped = std::current_exception();
            }
        });
    } catch (const std::system_error&) {
    }
    try {
        work();
    } catch (...) {
        if (thread.joinable()) thread.join();
        throw;
    }
    if (thread.joinable())
        thread.join();
    else
        beside();
    if (escaped) std::rethrow_exception(escaped);
}

PartHashResult HashParts(const std::vector<PartToHash>& parts, const PartHashOptions& options) {
    return Hashing(parts, options).Run();
}

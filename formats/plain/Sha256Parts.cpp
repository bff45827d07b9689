#include "formats/plain/Sha256Parts.h"

#include <atomic>
#include <cerrno>
#include <exception>
#include <memory>
#include <mutex>

#include "platform/Errors.h"

namespace {

constexpr size_t kDefaultBuffer = 256 * 1024;

// What ReadPart answers when `stopped` said so before the part's end.
constexpr int kStoppedPart = -1;

// Reads the bytes of `part` buffer by buffer into `add`, asking `stopped`
// before each one: 0 once read, the errno of a failure, or kStoppedPart.
template <typename Stopped, typename Add>
int ReadPart(const PartToHash& part, uint8_t* buffer, size_t size, const PartHashOptions& options,
             Stopped stopped, Add add) {
    platform::File file = platform::File::OpenRead(part.path, platform::Share::Read);
    if (!file.IsOpen()) return file.OpenError();
    if (part.offset > 0 && !file.Seek(part.offset)) return EIO;
    int64_t left = part.bytes >= 0 ? part.bytes : file.Size() - part.offset;
    while (left > 0) {
        if (options.pause) options.pause();
        if (stopped()) return kStoppedPart;
        const size_t want = left < static_cast<int64_t>(size) ? static_cast<size_t>(left) : size;
        const platform::IoResult read = file.Read(buffer, want);
        if (!read.ok()) return read.error;
        if (read.bytes == 0) return ESTALE;
        add(buffer, static_cast<size_t>(read.bytes));
        left -= read.bytes;
    }
    return 0;
}

class Sha256Hashing {
public:
    Sha256Hashing(const std::vector<PartToHash>& parts, const PartHashOptions& options)
        : parts_(parts), options_(options), errors_(parts.size(), 0) {
        result_.digests.resize(parts.size());
    }

    Sha256PartsResult Run() {
        RunOnWorkers(PartHashWorkers(options_.workers, parts_.size()), [this] { Work(); });
        if (escaped_) std::rethrow_exception(escaped_);
        for (size_t i = 0; i < errors_.size(); ++i)
            if (errors_[i] != 0) {
                result_.failedPart = static_cast<int>(i);
                result_.error = errors_[i];
                break;
            }
        result_.errors = errors_;
        result_.cancelled = stop_.load() && result_.failedPart < 0;
        return std::move(result_);
    }

private:
    // A callback's exception stops every worker and is rethrown by Run, on
    // the caller's thread.
    void Work() {
        try {
            HashEach();
        } catch (...) {
            std::lock_guard lock(mutex_);
            if (!escaped_) escaped_ = std::current_exception();
            stop_ = true;
        }
    }

    void HashEach() {
        const size_t size = options_.bufferSize > 0 ? options_.bufferSize : kDefaultBuffer;
        const std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[size]);
        platform::Sha256 hash;
        for (size_t i = next_++; i < parts_.size() && !Stopped(); i = next_++) {
            const int error =
                buffer && hash.Ready() ? HashOne(parts_[i], hash, buffer.get(), size, i) : ENOMEM;
            std::lock_guard lock(mutex_);
            errors_[i] = error;
            if (error != 0 && !options_.everyPart) stop_ = true;
            if (options_.partDone) options_.partDone(i, error);
        }
    }

    bool Stopped() {
        if (stop_) return true;
        if (options_.cancelled && options_.cancelled()) stop_ = true;
        return stop_;
    }

    int HashOne(const PartToHash& part, platform::Sha256& hash, uint8_t* buffer, size_t size,
                size_t index) {
        const int error = ReadPart(
            part, buffer, size, options_, [this] { return Stopped(); },
            [&](const uint8_t* bytes, size_t count) { hash.Add(bytes, count); });
        if (error != 0) return error == kStoppedPart ? 0 : error;
        platform::Sha256Digest digest{};
        if (!hash.Finish(digest)) return ENOMEM;
        std::lock_guard lock(mutex_);
        result_.digests[index] = digest;
        return 0;
    }

    const std::vector<PartToHash>& parts_;
    const PartHashOptions& options_;
    std::vector<int> errors_;
    Sha256PartsResult result_;
    std::atomic<size_t> next_{0};
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::exception_ptr escaped_;
};

}  // namespace

Sha256PartsResult HashPartsSha256(const std::vector<PartToHash>& parts,
                                  const PartHashOptions& options) {
    return Sha256Hashing(parts, options).Run();
}

namespace {

template <typename Result>
HexDigests InHex(const Result& result) {
    HexDigests hexDigests{{}, result.errors, result.failedPart, result.error};
    for (const auto& digest : result.digests)
        hexDigests.hex.push_back(digest ? LowerHex(digest->data(), digest->size()) : std::string());
    return hexDigests;
}

}  // namespace

HexDigests HashPartsHex(const std::vector<PartToHash>& parts, PlainDigest kind,
                        const PartHashOptions& options) {
    return kind == PlainDigest::Md5 ? InHex(HashParts(parts, options))
                                    : InHex(HashPartsSha256(parts, options));
}

SequenceDigest HashInSequence(const std::vector<PartToHash>& parts, PlainDigest kind,
                              const PartHashOptions& options) {
    SequenceDigest result;
    const size_t size = options.bufferSize > 0 ? options.bufferSize : kDefaultBuffer;
    const std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[size]);
    platform::Sha256 sha256;
    MD5Context md5;
    MD5Init(md5);
    const bool ready = buffer && (kind == PlainDigest::Md5 || sha256.Ready());
    auto stopped = [&] { return options.cancelled && options.cancelled(); };
    size_t part = 0;
    int64_t partBytes = 0, allBytes = 0;
    auto add = [&](const uint8_t* bytes, size_t count) {
        if (kind == PlainDigest::Md5)
            MD5Update(md5, bytes, count);
        else
            sha256.Add(bytes, count);
        partBytes += static_cast<int64_t>(count);
        allBytes += static_cast<int64_t>(count);
        if (options.progress) options.progress(part, partBytes, allBytes);
    };
    for (size_t i = 0; i < parts.size(); ++i) {
        part = i;
        partBytes = 0;
        const int error =
            ready ? ReadPart(parts[i], buffer.get(), size, options, stopped, add) : ENOMEM;
        if (error == kStoppedPart) return result;
        if (options.partDone) options.partDone(i, error);
        if (error != 0) {
            result.failedPart = static_cast<int>(i);
            result.error = error;
            return result;
        }
    }
    if (stopped()) return result;
    if (kind == PlainDigest::Md5) {
        const Digest digest = MD5Final(md5);
        result.hex = LowerHex(digest.data(), digest.size());
    } else if (platform::Sha256Digest digest{}; sha256.Finish(digest)) {
        result.hex = LowerHex(digest.data(), digest.size());
    } else {
        result.failedPart = static_cast<int>(parts.size()) - 1;
        result.error = ENOMEM;
    }
    return result;
}

// The parallel hash of a set's parts: the digests of one stream whatever the
// number of workers, the lowest failure whatever the order failures come in, a
// pause that holds every worker, a cancel and an escaped exception that stop them.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <future>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>
#include <vector>

#include "NativeJobs.h"
#include "formats/native/PartHasher.h"
#include "platform/Errors.h"
#include "platform/IoFaults.h"
#include "platform/PauseGate.h"

using namespace nativetest;

namespace {

constexpr auto kPatience = std::chrono::seconds(10);

PartToHash PathPart(const std::string& path, int64_t offset = 0, int64_t bytes = -1) {
    PartToHash part;
    part.path = path;
    part.offset = offset;
    part.bytes = bytes;
    return part;
}

std::vector<std::string> Hex(const PartHashResult& result) {
    std::vector<std::string> texts;
    for (const auto& digest : result.digests) texts.push_back(digest ? DigestToHex(*digest) : "-");
    return texts;
}

// Runs a hash on another thread, so that a test can watch it while it is held.
std::future<PartHashResult> Start(const std::vector<PartToHash>& parts,
                                  const PartHashOptions& options) {
    return std::async(std::launch::async, [&parts, &options] { return HashParts(parts, options); });
}

// Parts of a few KiB each, several buffers long, in one folder.
struct Parts {
    explicit Parts(int count, size_t size) {
        for (int i = 0; i < count; ++i) {
            const std::string path = dir / ("part" + std::to_string(i));
            contents.push_back(RandomBytes(size, static_cast<uint32_t>(100 + i)));
            WriteFile(path, contents.back());
            list.push_back(PathPart(path));
            expected.push_back(TestMD5(contents.back()));
        }
    }
    TempDir dir;
    std::vector<std::string> contents;
    std::vector<PartToHash> list;
    std::vector<std::string> expected;
};

}  // namespace

TEST(HashParts, GiveTheDigestsOfOneStreamForAnyWorkerCount) {
    TempDir dir;
    // Empty, one byte, around the buffer and block edges, and several buffers.
    const std::vector<size_t> sizes = {0, 1, 4095, 4096, 4097, 100000, 257, 70000};
    std::vector<PartToHash> parts;
    std::vector<std::string> expected;
    int64_t total = 0;
    for (size_t i = 0; i < sizes.size(); ++i) {
        const std::string path = dir / ("p" + std::to_string(i));
        WriteFile(path, RandomBytes(sizes[i], static_cast<uint32_t>(i)));
        parts.push_back(PathPart(path));
        expected.push_back(DigestToHex(*HashFile(path)));
        total += static_cast<int64_t>(sizes[i]);
    }
    // Ranges of one file: inside it, and from an offset to its end.
    const std::string whole = RandomBytes(100000, 77);
    WriteFile(dir / "whole", whole);
    parts.push_back(PathPart(dir / "whole", 1000, 5000));
    expected.push_back(TestMD5(whole.substr(1000, 5000)));
    parts.push_back(PathPart(dir / "whole", 99000));
    expected.push_back(TestMD5(whole.substr(99000)));
    total += 5000 + 1000;
    // A file the caller holds open, at a position the hash does not depend on.
    platform::File open = platform::File::OpenRead(dir / "whole", platform::Share::Read);
    ASSERT_TRUE(open.IsOpen());
    ASSERT_TRUE(open.Seek(12345));
    PartToHash held;
    held.file = &open;
    parts.push_back(held);
    expected.push_back(TestMD5(whole));
    total += 100000;

    for (unsigned workers = 1; workers <= 4; ++workers) {
        std::vector<int64_t> lastOfPart(parts.size(), 0);
        std::vector<int> done(parts.size(), 0);
        std::atomic<int> inside{0};
        bool overlapped = false, partWentBack = false;
        int64_t all = 0;
        PartHashOptions options;
        options.workers = workers;
        options.bufferSize = 4096;
        options.progress = [&](size_t part, int64_t partBytes, int64_t allBytes) {
            if (inside.fetch_add(1) != 0) overlapped = true;
            if (partBytes <= lastOfPart[part] || allBytes <= all) partWentBack = true;
            lastOfPart[part] = partBytes;
            all = allBytes;
            std::this_thread::yield();
            inside.fetch_sub(1);
        };
        options.partDone = [&](size_t part, int error) {
            EXPECT_EQ(error, 0) << part;
            ++done[part];
        };
        const PartHashResult result = HashParts(parts, options);
        ASSERT_TRUE(result.ok()) << workers;
        EXPECT_EQ(Hex(result), expected) << workers;
        EXPECT_EQ(result.errors, std::vector<int>(parts.size(), 0));
        EXPECT_EQ(all, total) << workers;
        EXPECT_EQ(done, std::vector<int>(parts.size(), 1)) << workers;
        EXPECT_FALSE(overlapped) << "two workers reported progress at once, " << workers;
        EXPECT_FALSE(partWentBack) << workers;
    }

    EXPECT_TRUE(HashParts({}).ok());
    EXPECT_EQ(PartHashWorkers(8, 3), 3u);
    EXPECT_EQ(PartHashWorkers(0, 0), 0u);
    EXPECT_GE(PartHashWorkers(0, 1000), 1u);
}

TEST(HashParts, KeepUpToTheirLanesOfPartsInFlight) {
    // More parts than lanes, of lengths that end them at different buffers
    // (each longer than the eight buffers a worker takes to fill its lanes),
    // so that lanes take new parts as theirs end.
    TempDir dir;
    std::vector<PartToHash> parts;
    std::vector<std::string> expected;
    for (size_t i = 0; i < 13; ++i) {
        const std::string bytes =
            RandomBytes(4096 * (9 + i % 5) + 64 * i + i, static_cast<uint32_t>(300 + i));
        WriteFile(dir / std::to_string(i), bytes);
        parts.push_back(PathPart(dir / std::to_string(i)));
        expected.push_back(TestMD5(bytes));
    }
    const struct {
        unsigned workers, lanes;
        size_t most;  // 0: no more than workers x lanes
    } runs[] = {{1, 8, 8}, {1, 1, 1}, {1, 3, 3}, {2, 8, 0}, {3, 1, 0}};
    for (const auto& run : runs) {
        std::set<size_t> inFlight;
        size_t most = 0;
        PartHashOptions options;
        options.workers = run.workers;
        options.lanes = run.lanes;
        options.bufferSize = 4096;
        options.progress = [&](size_t part, int64_t, int64_t) {
            inFlight.insert(part);
            most = std::max(most, inFlight.size());
        };
        options.partDone = [&](size_t part, int) { inFlight.erase(part); };
        const PartHashResult result = HashParts(parts, options);
        const std::string what = std::to_string(run.workers) + " x " + std::to_string(run.lanes);
        EXPECT_EQ(Hex(result), expected) << what;
        if (run.most > 0) {
            EXPECT_EQ(most, run.most) << what;
        }
        EXPECT_LE(most, run.workers * run.lanes) << what;
    }
}

TEST(HashParts, ReportTheLowestFailingPartWhateverTheOrderOfTheFailures) {
    TempDir dir;
    // Part 1 is shorter than the set says: it fails only once all its bytes are
    // read. Part 3 is missing and fails at once.
    std::vector<PartToHash> parts;
    std::vector<std::string> contents;
    for (int i = 0; i < 6; ++i) {
        contents.push_back(RandomBytes(20000, static_cast<uint32_t>(i)));
        WriteFile(dir / std::to_string(i), contents.back());
        parts.push_back(PathPart(dir / std::to_string(i), 0, 20000));
    }
    parts[1].bytes = 30000;
    parts[3].path = dir / "absent";

    for (unsigned workers = 2; workers <= 4; ++workers) {
        // The worker on part 1 waits at its first pause until part 3 has failed.
        std::mutex mutex;
        std::condition_variable changed;
        std::vector<size_t> ended;
        bool thirdFailed = false;
        thread_local size_t current = 0;
        PartHashOptions options;
        options.workers = workers;
        options.bufferSize = 4096;
        options.progress = [&](size_t part, int64_t, int64_t) { current = part; };
        options.partDone = [&](size_t part, int) {
            std::lock_guard lock(mutex);
            ended.push_back(part);
            if (part == 3) thirdFailed = true;
            changed.notify_all();
        };
        options.pause = [&] {
            if (current != 1) return;
            std::unique_lock lock(mutex);
            changed.wait_for(lock, kPatience, [&] { return thirdFailed; });
        };
        const PartHashResult result = HashParts(parts, options);
        EXPECT_EQ(result.failedPart, 1) << workers;
        EXPECT_EQ(result.error, ESTALE) << workers;
        EXPECT_EQ(result.errors[3], ENOENT) << workers;
        ASSERT_TRUE(result.digests[0]) << workers;
        EXPECT_EQ(DigestToHex(*result.digests[0]), TestMD5(contents[0]));
        EXPECT_FALSE(result.digests[1]);
        // Part 3 did fail first; no part after it was read to its end but those
        // already under way when it failed.
        ASSERT_FALSE(ended.empty());
        EXPECT_LT(std::find(ended.begin(), ended.end(), 3),
                  std::find(ended.begin(), ended.end(), 1));
        // With two, the worker that met part 3 could not have started part 5.
        if (workers == 2) {
            EXPECT_FALSE(result.digests[5]);
        }
    }

    // One worker meets part 1 first and reads nothing after it.
    PartHashOptions one;
    one.workers = 1;
    std::vector<size_t> ended;
    one.partDone = [&](size_t part, int) { ended.push_back(part); };
    PartHashResult result = HashParts(parts, one);
    EXPECT_EQ(result.failedPart, 1);
    EXPECT_EQ(result.error, ESTALE);
    EXPECT_EQ(ended, (std::vector<size_t>{0, 1}));

    // A check of every part sees all that fail, and still names the first.
    PartHashOptions every;
    every.workers = 2;
    every.everyPart = true;
    result = HashParts(parts, every);
    EXPECT_EQ(result.failedPart, 1);
    EXPECT_EQ(result.errors, (std::vector<int>{0, ESTALE, 0, ENOENT, 0, 0}));
    for (size_t i : {0u, 2u, 4u, 5u})
        EXPECT_EQ(DigestToHex(*result.digests[i]), TestMD5(contents[i]));
}

TEST(HashParts, FailWithTheReasonOfTheRead) {
    Parts set(3, 20000);
    // A read error on the second part, counted over every byte read.
    platform::testing::IoFaults plan;
    plan.readErrorAfter = 30000;
    {
        platform::testing::ScopedIoFaults faults(plan);
        PartHashOptions options;
        options.workers = 1;
        const PartHashResult result = HashParts(set.list, options);
        EXPECT_EQ(result.failedPart, 1);
        EXPECT_EQ(result.error, EIO);
        EXPECT_EQ(Hex(result), (std::vector<std::string>{set.expected[0], "-", "-"}));
    }

    // An open file given for two parts would have its position moved under both.
    platform::File file = platform::File::OpenRead(set.list[0].path, platform::Share::Read);
    std::vector<PartToHash> twice(2);
    twice[0].file = twice[1].file = &file;
    const PartHashResult result = HashParts(twice);
    EXPECT_EQ(result.failedPart, 1);
    EXPECT_EQ(result.error, EINVAL);
    EXPECT_EQ(Hex(result)[0], set.expected[0]);

    // A part that starts past the end of its file is short, not empty.
    const PartHashResult past = HashParts({PathPart(set.list[0].path, 20001)});
    EXPECT_EQ(past.error, ESTALE);
}

TEST(HashParts, APauseHoldsEveryWorkerUntilItEnds) {
    Parts set(4, 64 * 1024);
    platform::PauseGate gate;
    gate.Pause();
    std::atomic<unsigned> held{0};
    std::atomic<int64_t> hashed{0};
    PartHashOptions options;
    options.workers = 3;
    options.bufferSize = 4096;
    options.progress = [&](size_t, int64_t, int64_t all) { hashed = all; };
    options.pause = [&] {
        ++held;
        gate.Wait();
        --held;
    };
    auto running = Start(set.list, options);
    ASSERT_TRUE(Eventually([&] { return held.load() == 3; })) << held.load() << " workers held";
    // Held, nobody reads on: each worker hashed its first buffer and no more.
    const int64_t before = hashed.load();
    EXPECT_EQ(before, 3 * 4096);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(hashed.load(), before);
    EXPECT_EQ(running.wait_for(std::chrono::seconds(0)), std::future_status::timeout);

    gate.Resume();
    ASSERT_EQ(running.wait_for(kPatience), std::future_status::ready);
    const PartHashResult result = running.get();
    EXPECT_TRUE(result.ok());
    EXPECT_EQ(Hex(result), set.expected);
}

TEST(HashParts, ACancelStopsEveryWorkerSoon) {
    Parts set(8, 64 * 1024);
    std::atomic<int64_t> hashed{0};
    PartHashOptions options;
    options.workers = 2;
    options.bufferSize = 4096;
    options.progress = [&](size_t, int64_t, int64_t all) { hashed = all; };
    options.cancelled = [&] { return hashed.load() >= 100000; };
    PartHashResult result = HashParts(set.list, options);
    EXPECT_TRUE(result.cancelled);
    EXPECT_FALSE(result.ok());
    EXPECT_EQ(result.failedPart, -1);
    // Each worker stops at its next buffer.
    EXPECT_LE(hashed.load(), 100000 + 2 * 4096);
    EXPECT_FALSE(result.digests[7]);

    // Cancelled from the start, nothing is even opened.
    bool opened = false;
    options.cancelled = [] { return true; };
    options.progress = [&](size_t, int64_t, int64_t) { opened = true; };
    result = HashParts(set.list, options);
    EXPECT_TRUE(result.cancelled);
    EXPECT_FALSE(opened);
    EXPECT_EQ(Hex(result), std::vector<std::string>(8, "-"));
}

TEST(HashParts, AnExceptionInACallbackStopsEveryWorkerAndReachesTheCaller) {
    // Parts of 1024 buffers each. The bound below leaves room for the time the
    // throwing worker takes to unwind on a loaded machine (up to some 500
    // buffers of the others were seen), not for the rest of the set.
    Parts set(6, 4 * 1024 * 1024);
    std::atomic<int> afterThrow{0};
    std::atomic<bool> thrown{false}, returned{false}, calledAfterReturn{false};
    PartHashOptions options;
    options.workers = 3;
    options.bufferSize = 4096;
    options.progress = [&](size_t part, int64_t partBytes, int64_t) {
        if (returned) calledAfterReturn = true;
        if (thrown) ++afterThrow;
        if (part == 1 && partBytes > 8192) {
            thrown = true;
            throw std::runtime_error("display gone");
        }
    };
    EXPECT_THROW(HashParts(set.list, options), std::runtime_error);
    returned = true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(calledAfterReturn) << "a worker outlived the call";
    EXPECT_LT(afterThrow.load(), 2 * 1024);
}

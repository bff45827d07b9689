// The copy loop of every job, on real files, with the system refusing reads and
// writes at chosen points: it must stop with the right result and never write a
// byte that it did not read.
#include <gtest/gtest.h>

#include <cerrno>
#include <thread>
#include <vector>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "core/CopyLoop.h"
#include "platform/IoFaults.h"
#include "platform/Signals.h"
#include "support/TestSupport.h"

using namespace testsupport;
using platform::File;
using platform::testing::IoFaults;
using platform::testing::ScopedIoFaults;

namespace {

class CopyLoopTest : public ::testing::Test {
protected:
    void SetUp() override { WriteFile(dir / "source", data); }

    // Copies `count` bytes of the source into a new target through a buffer
    // of `bufferSize` bytes, recording every step.
    CopyResult Copy(int64_t count, size_t bufferSize, size_t stepsAllowed = SIZE_MAX) {
        File source = File::OpenRead(dir / "source");
        File target = File::CreateNew(dir / "target");
        EXPECT_TRUE(source.IsOpen() && target.IsOpen());
        CopyBuffer buffer(bufferSize);
        CopyResult result = CopyBytes(source, target, count, buffer, [&](int64_t n) {
            steps.push_back(n);
            reported += n;
            return steps.size() < stepsAllowed;
        });
        EXPECT_TRUE(target.Close());
        return result;
    }
    std::string Target() { return ReadFile(dir / "target"); }

    TempDir dir;
    const std::string data = RandomBytes(100000, 7);
    std::vector<int64_t> steps;
    int64_t reported = 0;
};

}  // namespace

TEST_F(CopyLoopTest, CopiesTheCountInBufferSizedSteps) {
    EXPECT_EQ(Copy(70000, 16384), CopyResult::Done);
    EXPECT_EQ(Target(), data.substr(0, 70000));
    EXPECT_EQ(reported, 70000);

    // Through the buffer path (any plan forces it) every step is one buffer at most.
    std::remove((dir / "target").c_str());
    steps.clear();
    reported = 0;
    IoFaults none;
    ScopedIoFaults faults(none);
    EXPECT_EQ(Copy(70000, 16384), CopyResult::Done);
    EXPECT_EQ(Target(), data.substr(0, 70000));
    EXPECT_EQ(steps, (std::vector<int64_t>{16384, 16384, 16384, 16384, 4464}));
}

TEST_F(CopyLoopTest, ASourceShorterThanTheCountEndsTheLoop) {
    EXPECT_EQ(Copy(150000, 4096), CopyResult::SourceEnded);
    EXPECT_EQ(Target(), data);
    EXPECT_EQ(reported, 100000);
}

TEST_F(CopyLoopTest, InjectedFaultsEndWithTheirResultAndKeepOnlyWhatWasRead) {
    const struct {
        const char* what;
        int64_t readErrorAfter, readEndAfter, writeErrorAfter;
        CopyResult expected;
        int64_t written;
    } cases[] = {
        {"read error inside a buffer", 10000, -1, -1, CopyResult::ReadFailed, 10000},
        {"read error on a buffer boundary", 8192, -1, -1, CopyResult::ReadFailed, 8192},
        {"read error at once", 0, -1, -1, CopyResult::ReadFailed, 0},
        {"premature end", -1, 12345, -1, CopyResult::SourceEnded, 12345},
        {"full disk inside a buffer", -1, -1, 5000, CopyResult::WriteFailed, 5000},
        {"full disk at once", -1, -1, 0, CopyResult::WriteFailed, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::remove((dir / "target").c_str());
        reported = 0;
        IoFaults plan;
        plan.readErrorAfter = c.readErrorAfter;
        plan.readEndAfter = c.readEndAfter;
        plan.writeErrorAfter = c.writeErrorAfter;
        {
            ScopedIoFaults faults(plan);
            EXPECT_EQ(Copy(50000, 4096), c.expected);
        }
        const std::string target = Target();
        EXPECT_EQ(static_cast<int64_t>(target.size()), c.written);
        EXPECT_LE(plan.bytesWritten.load(), plan.bytesRead.load());
        EXPECT_EQ(target, data.substr(0, target.size()));
        EXPECT_EQ(reported, c.written);
    }
}

TEST_F(CopyLoopTest, ACancelStopsAfterTheStepThatAskedAndKeepsWhatWasCopied) {
    IoFaults none;
    ScopedIoFaults faults(none);
    EXPECT_EQ(Copy(70000, 16384, 2), CopyResult::Cancelled);
    EXPECT_EQ(steps.size(), 2u);
    EXPECT_EQ(Target(), data.substr(0, 32768));

    // A cancel asked after the last step changes nothing: the copy is whole.
    std::remove((dir / "target").c_str());
    steps.clear();
    EXPECT_EQ(Copy(16384, 16384, 1), CopyResult::Done);
}

// Pipes made and handed over as POSIX does it.
#ifndef _WIN32
namespace {

// `end` of a new pipe as a File, through the standard stream it stands in
// for a moment; the other end's descriptor in `other`.
File PipeEnd(bool readEnd, int& other) {
    int ends[2];
    EXPECT_EQ(::pipe(ends), 0);
    const int stream = readEnd ? STDIN_FILENO : STDOUT_FILENO;
    const int saved = ::dup(stream);
    ::dup2(ends[readEnd ? 0 : 1], stream);
    File file = readEnd ? File::StandardInput() : File::StandardOutput();
    ::dup2(saved, stream);
    ::close(saved);
    ::close(ends[readEnd ? 0 : 1]);
    other = ends[readEnd ? 1 : 0];
    return file;
}

}  // namespace

// A stream split reads a pipe, a join to stdout writes one: the bytes move
// inside the kernel (splice), a pipe that ends early ends the copy, and a
// reader that left is the target's failure, EPIPE.
TEST_F(CopyLoopTest, PipesAtEitherEnd) {
    platform::IgnoreBrokenPipe();
    const struct {
        bool sourceIsPipe;
        size_t given;  // what the writer puts into the pipe, or the reader takes from it
        int64_t count;
        CopyResult result;
        size_t copied;
    } cases[] = {
        {true, 70000, 150000, CopyResult::SourceEnded, 70000},
        {true, 70000, 50000, CopyResult::Done, 50000},
        {true, 0, 10, CopyResult::SourceEnded, 0},
        {false, 70000, 70000, CopyResult::Done, 70000},
        {false, 0, 70000, CopyResult::WriteFailed, 0},  // the reader closed its end at once
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.sourceIsPipe << " " << c.given << " " << c.count);
        int other = -1;
        File pipe = PipeEnd(c.sourceIsPipe, other);
        std::string received;
        std::thread peer([&] {
            if (c.sourceIsPipe) {
                for (size_t at = 0; at < c.given;) {
                    const ssize_t n = ::write(other, data.data() + at, c.given - at);
                    if (n <= 0) break;  // the copy took what it wanted and closed
                    at += static_cast<size_t>(n);
                }
            } else {
                char chunk[4096];
                for (ssize_t n;
                     received.size() < c.given && (n = ::read(other, chunk, sizeof chunk)) > 0;)
                    received.append(chunk, static_cast<size_t>(n));
            }
            ::close(other);
        });
        File file =
            c.sourceIsPipe ? File::CreateNew(dir / "target") : File::OpenRead(dir / "source");
        if (!c.sourceIsPipe && c.given == 0) peer.join();
        CopyBuffer buffer(16384);
        int error = 0;
        const CopyResult result =
            c.sourceIsPipe ? CopyBytes(
                                 pipe, file, c.count, buffer, [](int64_t) { return true; }, &error)
                           : CopyBytes(
                                 file, pipe, c.count, buffer, [](int64_t) { return true; }, &error);
        pipe.Close();
        if (peer.joinable()) peer.join();
        EXPECT_EQ(result, c.result);
        if (result == CopyResult::WriteFailed) {
            EXPECT_EQ(error, EPIPE);
        }
        EXPECT_EQ(c.sourceIsPipe ? ReadFile(dir / "target") : received, data.substr(0, c.copied));
        file.Close();
        std::remove((dir / "target").c_str());
    }
}
#endif

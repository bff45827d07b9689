// The kernel copy path of File::CopyTo under a fault plan: a copy that the
// system fails or cuts short at a chosen byte ends with the right result and
// keeps exactly what was copied, and a kernel that refuses leaves the copy to
// the buffer path.
#include <gtest/gtest.h>

#include <cerrno>

#include "core/CopyLoop.h"
#include "platform/Errors.h"
#include "platform/IoFaults.h"
#include "support/TestSupport.h"

using namespace testsupport;
using platform::File;
using platform::testing::IoFaults;
using platform::testing::ScopedIoFaults;

namespace {

class KernelCopyFaultTest : public ::testing::Test {
protected:
    void SetUp() override { WriteFile(dir / "source", data); }

    CopyResult Copy(IoFaults& plan, int64_t count) {
        std::remove((dir / "target").c_str());
        reported = 0;
        File source = File::OpenRead(dir / "source");
        File target = File::CreateNew(dir / "target");
        EXPECT_TRUE(source.IsOpen() && target.IsOpen());
        CopyBuffer buffer(4096);
        ScopedIoFaults faults(plan);
        CopyResult result = CopyBytes(source, target, count, buffer, [&](int64_t n) {
            reported += n;
            return true;
        });
        EXPECT_TRUE(target.Close());
        return result;
    }
    std::string Target() { return ReadFile(dir / "target"); }

    TempDir dir;
    const std::string data = RandomBytes(300000, 11);
    int64_t reported = 0;
};

}  // namespace

TEST_F(KernelCopyFaultTest, FailuresInsideTheKernelEndWithTheirResultAndKeepWhatWasCopied) {
    PCW_SKIP_WITHOUT_KERNEL_COPIES();
    const struct {
        const char* what;
        int64_t after;
        int error;
        CopyResult expected;
    } cases[] = {
        {"read error inside the copy", 123457, EIO, CopyResult::ReadFailed},
        {"read error at once", 0, EIO, CopyResult::ReadFailed},
        {"full disk inside the copy", 200000, ENOSPC, CopyResult::WriteFailed},
        {"full disk at once", 0, ENOSPC, CopyResult::WriteFailed},
        {"quota inside the copy", 65536, EDQUOT, CopyResult::WriteFailed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        IoFaults plan;
        plan.kernelCopies = true;
        plan.kernelErrorAfter = c.after;
        plan.kernelError = c.error;
        EXPECT_EQ(Copy(plan, 250000), c.expected);
        EXPECT_EQ(plan.bytesCopied.load(), c.after);
        EXPECT_EQ(plan.bytesRead.load(), 0);  // never went through the buffer
        EXPECT_TRUE(Target() == data.substr(0, c.after));
        EXPECT_EQ(reported, c.after);
    }
}

TEST_F(KernelCopyFaultTest, ShortKernelCopiesAreTakenUpWhereTheyStopped) {
    PCW_SKIP_WITHOUT_KERNEL_COPIES();
    for (int64_t at : {1, 4096, 100001, 249999}) {
        SCOPED_TRACE(at);
        IoFaults plan;
        plan.kernelCopies = true;
        plan.kernelShortAt = at;
        EXPECT_EQ(Copy(plan, 250000), CopyResult::Done);
        EXPECT_EQ(plan.bytesCopied.load(), 250000);
        EXPECT_TRUE(Target() == data.substr(0, 250000));
        EXPECT_EQ(reported, 250000);
    }
}

TEST_F(KernelCopyFaultTest, AKernelThatRefusesLeavesTheCopyToTheBuffer) {
    const struct {
        const char* what;
        int error;
        bool answersZero;
    } cases[] = {
        {"across file systems", EXDEV, false},
        {"no such call", ENOSYS, false},
        {"not on this file system", EOPNOTSUPP, false},
        {"answers zero at once", 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        IoFaults plan;
        plan.kernelCopies = true;
        if (c.answersZero) {
            plan.kernelAnswersZero = true;
        } else {
            plan.kernelErrorAfter = 0;
            plan.kernelError = c.error;
        }
        EXPECT_EQ(Copy(plan, 250000), CopyResult::Done);
        EXPECT_EQ(plan.bytesCopied.load(), 0);
        EXPECT_EQ(plan.bytesRead.load(), 250000);
        EXPECT_TRUE(Target() == data.substr(0, 250000));
    }
    // The buffer path still meets the real end of the source.
    IoFaults plan;
    plan.kernelCopies = true;
    plan.kernelErrorAfter = 0;
    plan.kernelError = EXDEV;
    EXPECT_EQ(Copy(plan, 400000), CopyResult::SourceEnded);
    EXPECT_TRUE(Target() == data);
}

#include "core/CurrentJob.h"

#include <atomic>

namespace {
std::atomic<Job*> g_job{nullptr};
std::atomic<int> g_mode{kModeSplit};
}  // namespace

Job* CurrentJob() {
    return g_job.load();
}
void SetCurrentJob(Job* job) {
    g_job.store(job);
}
int CurrentMode() {
    return g_mode.load();
}
void SetCurrentMode(int mode) {
    g_mode.store(mode);
}

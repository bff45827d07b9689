#include "platform/Signals.h"

#include <atomic>
#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
struct sigaction previous[3];
sigset_t previousMask;
// The handler only records and wakes the watcher: nothing else is safe there.
int pipeEnds[2] = {-1, -1};
std::atomic<int> caught{0};

void OnSignal(int signal) {
    int none = 0;
    if (!caught.compare_exchange_strong(none, signal)) return;
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(pipeEnds[1], &byte, 1);
    errno = saved;
}

sigset_t StopSet() {
    sigset_t set;
    sigemptyset(&set);
    for (int signal : kSignals) sigaddset(&set, signal);
    return set;
}

}  // namespace

StopSignals::StopSignals(std::function<void(int)> onSignal) : onSignal_(std::move(onSignal)) {
    caught.store(0);
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0) pipeEnds[0] = pipeEnds[1] = -1;
    // Only the watcher takes the signals: this thread and every thread it
    // starts from now on block them. Taken by one thread, one at a time, the
    // first to come is the first handled; on several threads at once a kill
    // sent just after a Ctrl-C could be handled before it.
    const sigset_t stops = StopSet();
    ::pthread_sigmask(SIG_BLOCK, &stops, &previousMask);
    struct sigaction action {};
    action.sa_handler = OnSignal;
    action.sa_mask = stops;
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < std::size(kSignals); ++i)
        ::sigaction(kSignals[i], &action, &previous[i]);
    watcher_ = std::thread([this, stops] {
        ::pthread_sigmask(SIG_UNBLOCK, &stops, nullptr);
        Watch();
        ::pthread_sigmask(SIG_BLOCK, &stops, nullptr);
    });
}

StopSignals::~StopSignals() {
    // Signals that come now are the program's again, unless one came: the
    // program then ends with the status of that first one, and a later kill
    // while it prints its last words and exits must not change it.
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    const char stop = 0;
    if (pipeEnds[1] >= 0) [[maybe_unused]]
        const ssize_t n = ::write(pipeEnds[1], &stop, 1);
    watcher_.join();
    const bool stopping = caught.load() != 0;
    for (size_t i = 0; i < std::size(kSignals); ++i)
        ::sigaction(kSignals[i], stopping ? &ignore : &previous[i], nullptr);
    if (!stopping) ::pthread_sigmask(SIG_SETMASK, &previousMask, nullptr);
    for (int& end : pipeEnds) {
        if (end >= 0) ::close(end);
        end = -1;
    }
}

int StopSignals::Caught() const {
    return caught.load();
}

void StopSignals::Watch() {
    if (pipeEnds[0] < 0) return;
    char byte = 0;
    for (;;) {
        const ssize_t n = ::read(pipeEnds[0], &byte, 1);
        if (n < 0 && errno == EINTR) continue;
        if (n != 1 || byte == 0) return;
        onSignal_(caught.load());
        return;
    }
}

void IgnoreBrokenPipe() {
    ::signal(SIGPIPE, SIG_IGN);
}

int BrokenPipeExitStatus() {
    return StopSignals::ExitStatus(SIGPIPE);
}

}  // namespace platform

#include "platform/Signals.h"

#include <atomic>
#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
struct sigaction previous[3];
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

}  // namespace

StopSignals::StopSignals(std::function<void(int)> onSignal) : onSignal_(std::move(onSignal)) {
    caught.store(0);
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0) pipeEnds[0] = pipeEnds[1] = -1;
    watcher_ = std::thread([this] { Watch(); });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < std::size(kSignals); ++i)
        ::sigaction(kSignals[i], &action, &previous[i]);
}

StopSignals::~StopSignals() {
    // Signals that come now are the program's again; a pending one stays
    // recorded, as a second signal would have been ignored anyway.
    for (size_t i = 0; i < std::size(kSignals); ++i)
        ::sigaction(kSignals[i], &previous[i], nullptr);
    const char stop = 0;
    if (pipeEnds[1] >= 0) [[maybe_unused]]
        const ssize_t n = ::write(pipeEnds[1], &stop, 1);
    watcher_.join();
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

}  // namespace platform

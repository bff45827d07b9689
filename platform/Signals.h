// The requests to stop that a terminal or the system sends a running program:
// Ctrl-C (SIGINT), a polite kill (SIGTERM) and a closed terminal (SIGHUP).
#pragma once

#include <functional>
#include <thread>

namespace platform {

// While one lives, the first of those signals calls `onSignal(signal)` once,
// on a thread of its own where anything may be done; the ones that follow are
// ignored, so that a second Ctrl-C cannot kill a job that is cleaning up.
// Only one may live at a time, made before the threads of the job: the thread
// that makes it and those it starts after leave the signals to a watcher of
// their own, which takes them in the order they come. The previous handlers
// come back at the end,
// unless a signal came: then the later ones stay ignored, so that the program
// ends with the status of the first.
class StopSignals {
public:
    explicit StopSignals(std::function<void(int signal)> onSignal);
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // The signal that came first, 0 while none has.
    int Caught() const;
    // The exit status a program stopped by `signal` gives, as a shell reports it.
    static int ExitStatus(int signal) { return 128 + signal; }

private:
    void Watch();

    std::function<void(int)> onSignal_;
    std::thread watcher_;
};

// From now on a write to a pipe whose reader has gone (`pcw join -o - | head`)
// fails with EPIPE instead of ending the process, so that the job ends in order.
void IgnoreBrokenPipe();
// The status of a program that a closed pipe ended, as a shell reports cat's.
int BrokenPipeExitStatus();

}  // namespace platform

#include "platform/Signals.h"

#include <atomic>
#include <csignal>
#include <mutex>

#include <windows.h>

namespace platform {

namespace {

// The console's stop requests, as the signals that Linux sends for them:
// Ctrl-C and Ctrl-Break are an interrupt, a closed console window, a log-off
// and a shutdown a polite kill.
int SignalOf(DWORD event) {
    return event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT ? SIGINT : SIGTERM;
}

std::atomic<int> caught{0};
std::mutex calling;                  // held while the handler calls back
StopSignals* active = nullptr;       // under `calling`
std::function<void(int)>* callback;  // under `calling`

// Windows calls this on a thread of its own, where anything may be done. It
// answers TRUE (handled) for every event, so that none ends the process while
// a job cleans up; for a closed window Windows ends it when this returns.
BOOL WINAPI OnConsoleEvent(DWORD event) {
    int none = 0;
    const int signal = SignalOf(event);
    if (!caught.compare_exchange_strong(none, signal)) return TRUE;
    std::lock_guard lock(calling);
    if (active != nullptr && callback != nullptr) (*callback)(signal);
    return TRUE;
}

}  // namespace

StopSignals::StopSignals(std::function<void(int)> onSignal) : onSignal_(std::move(onSignal)) {
    caught.store(0);
    {
        std::lock_guard lock(calling);
        active = this;
        callback = &onSignal_;
    }
    ::SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

StopSignals::~StopSignals() {
    // Once a request came the handler stays, answering every later one as
    // handled: the program ends with the status of the first.
    if (caught.load() == 0) ::SetConsoleCtrlHandler(OnConsoleEvent, FALSE);
    // Waits for a call in progress to end before the callback goes away.
    std::lock_guard lock(calling);
    active = nullptr;
    callback = nullptr;
}

int StopSignals::Caught() const {
    return caught.load();
}

void StopSignals::Watch() {}

// Windows sends no signal for a closed pipe: the write fails by itself.
void IgnoreBrokenPipe() {}

// What a POSIX shell reports for SIGPIPE (13), which Windows does not define.
int BrokenPipeExitStatus() {
    return StopSignals::ExitStatus(13);
}

}  // namespace platform

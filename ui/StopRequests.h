// What the windows do when they are asked to stop: a session that logs out
// (SIGTERM, SIGHUP) or a Ctrl-C in the terminal that started them (SIGINT).
// As the command line does, the running job is cancelled and takes back what
// it made; the boxes that nobody will answer any more are closed, and the
// messages that follow go to stderr; the settings are saved, and the program
// ends with the status of the signal.
#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <optional>

#include "platform/Signals.h"

class ConvertWindow;
class MainWindow;
class ProgressWindow;

class StopRequests : public QObject {
public:
    // `quit` ends the program with the status it is given, once no job runs.
    // With `watchSignals`, the system's stop signals call Stop; only one
    // watcher may live at a time.
    StopRequests(MainWindow& main, ProgressWindow& processing, ConvertWindow& convert,
                 std::function<void(int status)> quit, bool watchSignals = true);

    // What a stop signal does, on the UI thread; the later ones change nothing.
    void Stop(int signal);
    // The signal that asked to stop, 0 while none has.
    int StoppedBy() const { return signal_; }

private:
    void QuitOnceIdle();

    MainWindow& main_;
    ProgressWindow& processing_;
    ConvertWindow& convert_;
    std::function<void(int)> quit_;
    int signal_ = 0;
    QTimer idle_;
    // Last: destroyed first, so that no signal calls back into a half-gone object.
    std::optional<platform::StopSignals> signals_;
};

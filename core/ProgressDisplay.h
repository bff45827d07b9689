// The slots of the progress window that a worker writes, one method per slot,
// and the end-of-run routine. Implementations hand every write to their own
// thread in order and must never block the worker: this is called after every
// buffer copied.
#pragma once

#include <string_view>

#include "core/Message.h"

class ProgressDisplay {
public:
    virtual ~ProgressDisplay() = default;

    virtual void SetOverallBar(int position) = 0;  // 0..100
    virtual void SetPartBar(int position) = 0;     // 0..100
    virtual void SetPercentText(std::string_view text) = 0;
    virtual void SetStatusText(std::string_view text) = 0;
    virtual void SetPartText(std::string_view text) = 0;
    virtual void SetDoneText(std::string_view text) = 0;
    virtual void RunClock(bool enabled) = 0;

    // A message of the worker (why it failed, how it ended), shown before the
    // call returns: the worker goes on once the user has seen it. By default
    // through the installed sink, owned by no window.
    virtual void ShowMessage(const Message& message) { platform::ShowMessages(nullptr, {message}); }

    // Called once at the end of a run, after the last write and the result
    // message: puts the slots back to rest and ends the modal run with result 1.
    virtual void CloseAfterJob() = 0;
};

// Shows nothing; what a job writes to before a window is given to it.
class NullDisplay final : public ProgressDisplay {
public:
    void SetOverallBar(int) override {}
    void SetPartBar(int) override {}
    void SetPercentText(std::string_view) override {}
    void SetStatusText(std::string_view) override {}
    void SetPartText(std::string_view) override {}
    void SetDoneText(std::string_view) override {}
    void RunClock(bool) override {}
    void CloseAfterJob() override {}

    static NullDisplay& Instance();
};

// Writes a job's progress into the display after every buffer, doing text
// work only when something visible changed: a 16 KiB buffer must not pay for
// formatting the same status line again.
#pragma once

#include <cstdint>
#include <functional>

class ProgressDisplay;
class Job;

class ProgressWriter {
public:
    // Forget what was shown: the next writes make every text again.
    void Invalidate();

    // A copy phase: bar1 and its percentage from the job's bytes, bar2 from
    // the part's bytes, the status texts (made by `texts` only when textKey
    // changed) and the data done. A zero total or part size stops the update
    // where it occurs and shows "* %".
    void Copying(Job& job, int64_t textKey, const std::function<void(ProgressDisplay&)>& texts);
    // A copy from a stream, whose total is known at its end: no percentage,
    // the rate since the start in its place, and the rest as Copying.
    void Streaming(Job& job, int64_t textKey, const std::function<void(ProgressDisplay&)>& texts,
                   double now);
    // A digest phase: the texts when textKey changed, then bar1 at
    // number * 100 / count ("* %" for no parts).
    void Digesting(Job& job, int64_t textKey, const std::function<void(ProgressDisplay&)>& texts,
                   int32_t number, int32_t count);
    // The end of a successful job: the clock stops, the status says so.
    void Finished(Job& job);
    // The step after a split (its recovery parts) or the join that rebuilds
    // lost parts on its way: a copy phase with its own status.
    void Finishing(Job& job);

private:
    void WriteOverallBar(ProgressDisplay& display, int position);
    void Fault(ProgressDisplay& display);
    bool TextsChanged(int64_t key);
    void WritePartAndDone(Job& job, int64_t textKey,
                          const std::function<void(ProgressDisplay&)>& texts);

    int lastBar1_ = -1;
    int64_t lastDoneHundredths_ = -1;
    int64_t lastRateTenths_ = -1;
    int64_t lastTextKey_ = -1;
    bool hasTextKey_ = false;
};

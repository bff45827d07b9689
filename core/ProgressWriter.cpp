#include "core/ProgressWriter.h"

#include <algorithm>
#include <string>

#include "core/DisplayNumbers.h"
#include "core/Job.h"
#include "core/ProgressDisplay.h"
#include "texts/Texts.h"

namespace {
// A job shows 100 % once it succeeded, not when its last byte is copied: the
// checks and the rename that follow may still fail.
constexpr int kBeforeTheEnd = 99;
}  // namespace

void ProgressWriter::Invalidate() {
    lastBar1_ = -1;
    lastDoneHundredths_ = -1;
    lastRateTenths_ = -1;
    hasTextKey_ = false;
}

void ProgressWriter::WriteOverallBar(ProgressDisplay& display, int position) {
    // A bar holds 0 to 100, and the percentage shows what the bar shows: some
    // sets announce less than they hold, and their joins go past their total.
    position = std::clamp(position, 0, 100);
    display.SetOverallBar(position);
    if (position != lastBar1_) {
        display.SetPercentText(std::to_string(position) + "%");
        lastBar1_ = position;
    }
}

void ProgressWriter::Fault(ProgressDisplay& display) {
    display.SetPercentText("* %");
    lastBar1_ = -1;
}

bool ProgressWriter::TextsChanged(int64_t key) {
    if (hasTextKey_ && key == lastTextKey_) return false;
    lastTextKey_ = key;
    hasTextKey_ = true;
    return true;
}

void ProgressWriter::Copying(Job& job, int64_t textKey,
                             const std::function<void(ProgressDisplay&)>& texts) {
    if (job.TakeRedraw()) Invalidate();
    ProgressDisplay& display = *job.display;
    int position;
    if (!Percent(job.doneBytes, job.totalBytes, position)) return Fault(display);
    WriteOverallBar(display, std::min(position, kBeforeTheEnd));
    WritePartAndDone(job, textKey, texts);
}

void ProgressWriter::Streaming(Job& job, int64_t textKey,
                               const std::function<void(ProgressDisplay&)>& texts, double now) {
    if (job.TakeRedraw()) Invalidate();
    ProgressDisplay& display = *job.display;
    constexpr double kSecondsPerDay = 86400;
    const double seconds = (now - job.startTime) * kSecondsPerDay;
    const int64_t done = job.doneBytes;
    const int64_t rate =
        seconds > 0 ? static_cast<int64_t>(static_cast<double>(done) / seconds) : 0;
    const int64_t tenths = rate * 10 / 1048576;
    if (tenths != lastRateTenths_) {
        display.SetPercentText(texts::Say(texts::TextId::StreamRate, {FormatSize(rate)}));
        lastRateTenths_ = tenths;
    }
    WritePartAndDone(job, textKey, texts);
}

void ProgressWriter::WritePartAndDone(Job& job, int64_t textKey,
                                      const std::function<void(ProgressDisplay&)>& texts) {
    ProgressDisplay& display = *job.display;
    int position;
    if (!Percent(job.partDoneBytes, job.partBytes, position)) return Fault(display);
    display.SetPartBar(position);
    if (TextsChanged(textKey * 8 + static_cast<int64_t>(job.step.get()))) texts(display);
    const int64_t done = job.doneBytes;
    const int64_t hundredths = done * 100 / 1048576;
    if (hundredths != lastDoneHundredths_) {
        display.SetDoneText(FormatSize(done));
        lastDoneHundredths_ = hundredths;
    }
}

void ProgressWriter::Finishing(Job& job) {
    Copying(job, 0, [&](ProgressDisplay& display) {
        display.SetStatusText(texts::Say(job.joining ? texts::TextId::StatusJoinRepairing
                                                     : texts::TextId::StatusWritingRecovery));
        display.SetPartText("");
    });
}

void ProgressWriter::Digesting(Job& job, int64_t textKey,
                               const std::function<void(ProgressDisplay&)>& texts, int32_t number,
                               int32_t count) {
    if (job.TakeRedraw()) Invalidate();
    ProgressDisplay& display = *job.display;
    if (TextsChanged(textKey * 8 + static_cast<int64_t>(job.step.get()))) texts(display);
    if (count == 0) return Fault(display);
    WriteOverallBar(display, std::min(number * 100 / count, kBeforeTheEnd));
}

void ProgressWriter::Finished(Job& job) {
    WriteOverallBar(*job.display, 100);
    job.display->RunClock(false);
    job.display->SetStatusText(texts::Say(texts::TextId::JobSucceeded));
    Invalidate();
}

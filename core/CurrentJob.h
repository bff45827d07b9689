// The one job under way and the direction of the main window (1 split, 0 join).
// The main window sets them; the clock, the pause button and the digest
// progress reach the job through them.
#pragma once

class Job;

Job* CurrentJob();
void SetCurrentJob(Job* job);

inline constexpr int kModeJoin = 0;
inline constexpr int kModeSplit = 1;
int CurrentMode();
void SetCurrentMode(int mode);

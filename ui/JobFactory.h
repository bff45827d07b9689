// Which job each entry of the join dialog's type list creates.
#pragma once

#include <QList>
#include <memory>

#include "ui/Seams.h"

class Job;

QList<DialogFilter> SplitFilters();
// The job of a split: a plain set (NAME.001… of data alone) or a native one.
std::unique_ptr<Job> CreateSplitJob(bool plain);
// The join dialog's first entry takes a part of any kind and finds which.
constexpr int kAnyKnownSetEntry = 1;
// "Tous les jeux reconnus", then one entry per kind.
QList<DialogFilter> JoinFilters();
// The job for join filter `index` (1-based); nothing for the first entry,
// whose kind the chosen part tells, nor for an index outside the list.
std::unique_ptr<Job> CreateJoinJob(int index);

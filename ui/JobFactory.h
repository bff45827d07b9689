// Which job each entry of the join dialog's type list creates.
#pragma once

#include <QList>
#include <memory>

#include "ui/Seams.h"

class TzelFichier;

QList<DialogFilter> SplitFilters();
QList<DialogFilter> JoinFilters();
// The job for join filter `index` (1-based); nothing for an index outside the list.
std::unique_ptr<TzelFichier> CreateJoinJob(int index);
